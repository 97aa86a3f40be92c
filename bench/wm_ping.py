#!/usr/bin/python3
"""Pings the window named Orvella as a window manager does (_NET_WM_PING, every 0.1 s) until the
process PID ends, and writes one line per ping: the time it was sent (CLOCK_MONOTONIC seconds) and
how long the reply took (or "none"). Needs: apt-get install python3-xlib

usage: wm_ping.py PID OUTPUT
"""
import os
import select
import sys
import time

from Xlib import X, display, protocol


def find_window(d, name):
    root = d.screen().root
    for w in root.query_tree().children:
        try:
            if w.get_wm_name() == name:
                return w
        except Exception:
            pass
    return None


def alive(pid):
    try:
        os.kill(pid, 0)
    except OSError:
        return False
    # A zombie has ended too.
    with open(f"/proc/{pid}/stat") as f:
        return f.read().split()[2] != "Z"


def main():
    pid, output = int(sys.argv[1]), sys.argv[2]
    d = display.Display()
    # The window goes with its program: errors about it at the end are expected.
    d.set_error_handler(lambda *args: None)
    root = d.screen().root
    # The reply goes to the root window: listen there, as a window manager does.
    root.change_attributes(event_mask=X.StructureNotifyMask | X.SubstructureNotifyMask)
    wm_protocols = d.intern_atom("WM_PROTOCOLS")
    ping = d.intern_atom("_NET_WM_PING")
    window = None
    while window is None and alive(pid):
        window = find_window(d, "Orvella")
        time.sleep(0.05)
    sent = {}  # stamp -> monotonic time sent
    replies = {}
    stamp = 1
    next_ping = time.monotonic()
    while alive(pid):
        now = time.monotonic()
        if now >= next_ping:
            event = protocol.event.ClientMessage(
                window=window, client_type=wm_protocols, data=(32, [ping, stamp, window.id, 0, 0]))
            window.send_event(event, event_mask=0)
            d.flush()
            sent[stamp] = now
            stamp += 1
            next_ping = now + 0.1
        select.select([d.fileno()], [], [], max(0.0, next_ping - time.monotonic()))
        for _ in range(d.pending_events()):
            e = d.next_event()
            if e.type == X.ClientMessage and e.client_type == wm_protocols:
                data = e.data[1]
                if data[0] == ping and data[1] in sent and data[1] not in replies:
                    replies[data[1]] = time.monotonic() - sent[data[1]]
    with open(output, "w") as out:
        for s, t in sorted(sent.items()):
            out.write(f"{t:.6f} {replies[s]:.6f}\n" if s in replies else f"{t:.6f} none\n")


if __name__ == "__main__":
    main()
