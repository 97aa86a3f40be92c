#!/usr/bin/env bash
# Starts the program under Xvfb and checks that its main window carries the program's icon in
# every drawn size and the window class the desktop entry names, so a task bar shows the window
# under the menu entry's icon.
# Usage: window-icon.sh EXECUTABLE DESKTOP_ENTRY
set -u
exe=$(readlink -f "$1")
desktop=$(readlink -f "$2")

if [ -z "${ORVELLA_ICON_IN_X:-}" ]; then
    export ORVELLA_ICON_IN_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/home"
chmod 700 "$work/home"
export HOME=$work/home XDG_RUNTIME_DIR=$work/home
unset QT_QPA_PLATFORM

fail() { echo "window-icon: $*"; exit 1; }

cd "$work"
"$exe" >"$work/log" 2>&1 &
pid=$!
window=
for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
[ -n "$window" ] || { cat "$work/log"; fail "the main window did not appear"; }

sizes=$(xprop -len 100000000 -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' |
    sed 's/Icon (\([0-9]*\) x \([0-9]*\))/\1x\2/' | tr '\n' ' ' | sed 's/ $//')
for size in 16 24 32 48 64 128 256; do
    case " $sizes " in
        *" ${size}x${size} "*) ;;
        *) fail "the window icon has no ${size} x ${size} picture (it has: ${sizes:-none})" ;;
    esac
done

class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$class" ] && [ "$class" = "$wmclass" ] ||
    fail "the window class is '$class' while the desktop entry names '$wmclass'"
echo "window-icon: the window shows the icon in sizes $sizes and the class $class"
