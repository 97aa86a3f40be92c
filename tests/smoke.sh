#!/usr/bin/env bash
# Starts the real program under Xvfb on a folder of real pictures: its window must appear and stay
# up; a second start must show its message and end, while the first keeps running.
set -u
exe=$1
pictures=$2

if [ -z "${ORVELLA_SMOKE_IN_X:-}" ]; then
    export ORVELLA_SMOKE_IN_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $first 2>/dev/null; kill ${second:-} 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/pictures"
chmod 700 "$work/home"
cp "$pictures"/*.jpg "$pictures"/*.bmp "$pictures"/*.gif "$pictures"/*.ico "$work/pictures/"
# A home of its own: the program's single-instance guard is per user, so it never meets a copy
# the developer has open.
export HOME=$work/home XDG_RUNTIME_DIR=$work/home
unset QT_QPA_PLATFORM

fail() { echo "smoke: $*"; exit 1; }

windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null; }

wait_for_window() { # pid, seconds
    for _ in $(seq 1 $(( $2 * 10 ))); do
        [ -n "$(windows_of "$1")" ] && return 0
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

cd "$work/pictures"
"$exe" >"$work/first.log" 2>&1 &
first=$!
wait_for_window $first 30 || { cat "$work/first.log"; fail "the main window did not appear"; }
name=$(xdotool getwindowname "$(windows_of $first | head -n 1)")
[ "$name" = "Orvella" ] || fail "the window is called '$name', not Orvella"
sleep 3
kill -0 $first 2>/dev/null || { cat "$work/first.log"; fail "the program ended by itself"; }
echo "smoke: the main window is up"

"$exe" >"$work/second.log" 2>&1 &
second=$!
wait_for_window $second 30 || { cat "$work/second.log"; fail "the second start showed no message"; }
box=$(windows_of $second | head -n 1)
xdotool windowfocus --sync "$box" 2>/dev/null || xdotool windowfocus "$box"
xdotool key --clearmodifiers Return
for _ in $(seq 1 100); do
    kill -0 $second 2>/dev/null || break
    sleep 0.1
done
kill -0 $second 2>/dev/null && fail "the second start did not end after its message"
wait $second
rc=$?
[ $rc -eq 0 ] || { cat "$work/second.log"; fail "the second start ended with code $rc"; }
kill -0 $first 2>/dev/null || fail "the first copy ended when the second started"
echo "smoke: a second start showed its message and ended; the first keeps running"
exit 0
