#!/usr/bin/env bash
# Measures how fast the real program's window answers the window manager's ping (_NET_WM_PING on
# X11) while it loads the thumbnails of a folder: a ping every 0.1 s from a second X client, each
# reply timed. The goal: every ping sent during the load answered within 1 s.
#   apt-get install xvfb python3-xlib
#   bench/ping-during-load.sh BUILD-FOLDER PICTURE-FOLDER [DISPLAY-NUMBER=63]
# BUILD-FOLDER holds bench/bench_ping (a release build); PICTURE-FOLDER is e.g. the 1000 plain
# pictures bench_thumbnails makes (/tmp/orvella-bench-1000/plain).
set -euo pipefail
build=$1
pictures=$2
number=${3:-63}
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=":$number"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# A home of its own: no real settings, trash or desktop thumbnails are touched or used.
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
# Warm the page cache, as the goals assume.
cat "$pictures"/*.jpg >/dev/null
QT_QPA_PLATFORM=xcb "$build/bench/bench_ping" "$pictures" >"$work/program.log" &
program=$!
/usr/bin/python3 "$(dirname "$0")/wm_ping.py" "$program" "$work/pings.log"
wait "$program"
/usr/bin/python3 - "$work/program.log" "$work/pings.log" <<'PY'
import sys
marks = dict(line.rsplit(" ", 1) for line in open(sys.argv[1]).read().splitlines())
start, end = float(marks["load start"]), float(marks["load end"])
pings = [line.split() for line in open(sys.argv[2])]
during = [(float(t), None if r == "none" else float(r)) for t, r in pings if start <= float(t) <= end]
answered = [r for _, r in during if r is not None]
worst = max(answered) if answered else float("nan")
late = sum(1 for _, r in during if r is None or r > 1.0)
print(f"load of {marks['decodes']} pictures took {end - start:.2f} s")
print(f"pings sent during the load: {len(during)}, answered: {len(answered)}")
if answered:
    answered.sort()
    print(f"reply time: median {answered[len(answered) // 2] * 1000:.0f} ms, worst {worst * 1000:.0f} ms")
print(f"{'6. every ping during the load answered within 1 s':58} {late:>5} late  {'met' if during and late == 0 else 'NOT MET'}")
PY
