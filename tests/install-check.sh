#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that every file of the desktop program
# lands at its place under the prefix, that nothing else is installed (inside the prefix or
# outside it), and that the installed entry, icons and metadata agree with each other.
# Usage: install-check.sh BUILD_DIR PREFIX VERSION SOURCE_DIR
set -u
build=$1
prefix=$2
version=$3
source=$4
id=org.example.Orvella
sizes="16 24 32 48 64 128 256"

failures=0
fail() { echo "install-check: $*"; failures=$((failures + 1)); }

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

if ! DESTDIR=$dest cmake --install "$build" >"$dest.log" 2>&1; then
    cat "$dest.log"; rm -f "$dest.log"
    echo "install-check: cmake --install failed"; exit 1
fi
rm -f "$dest.log"
root=$dest$prefix

expected=(
    "bin/orvella"
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
    "share/doc/orvella/copyright"
)
for size in $sizes; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

# Every installed file, as a path under DESTDIR; anything not under the prefix is a fault.
while IFS= read -r path; do
    case "$path" in
        "$prefix"/*) ;;
        *) fail "installed outside the prefix $prefix: $path" ;;
    esac
done < <(cd "$dest" && find . ! -type d | sed 's|^\.||' | sort)

actual=$( [ -d "$root" ] && cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
missing=$(comm -23 <(echo "$wanted") <(echo "$actual"))
extra=$(comm -13 <(echo "$wanted") <(echo "$actual"))
[ -z "$missing" ] || fail "not installed: $(echo $missing)"
[ -z "$extra" ] || fail "installed but not expected: $(echo $extra)"

# The executable.
exe=$root/bin/orvella
if [ -f "$exe" ]; then
    [ -x "$exe" ] || fail "bin/orvella is not executable"
    [ "$(head -c 4 "$exe" | od -An -c | tr -d ' ')" = "177ELF" ] || fail "bin/orvella is not a program"
fi

# PNG icons: each a PNG of the size its folder names (width and height from the IHDR chunk).
for size in $sizes; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || continue
    magic=$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')
    [ "$magic" = "89504e470d0a1a0a" ] || { fail "$size x $size icon is not a PNG"; continue; }
    w=$(od -An -tu1 -j16 -N4 "$png" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    h=$(od -An -tu1 -j20 -N4 "$png" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')
    [ "$w x $h" = "$size x $size" ] || fail "the ${size}x${size} icon is $w x $h"
done

svg=$root/share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] && { cmp -s "$svg" "$source/data/icons/$id.svg" || fail "the scalable icon differs from data/icons/$id.svg"; }
copyright=$root/share/doc/orvella/copyright
[ -f "$copyright" ] && { cmp -s "$copyright" "$source/LICENSE" || fail "share/doc/orvella/copyright is not the LICENSE"; }

# The desktop entry: valid, starts the installed program with no arguments, shows the installed
# icon under the name Orvella in the Graphics category.
desktop=$root/share/applications/$id.desktop
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the installed entry"
    key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
    [ "$(key Exec)" = "orvella" ] || fail "Exec is '$(key Exec)', not the installed program without arguments"
    [ "$(key Icon)" = "$id" ] || fail "Icon is '$(key Icon)', not the installed icon $id"
    [ "$(key Name)" = "Orvella" ] || fail "Name is '$(key Name)'"
    [ -n "$(key Comment)" ] || fail "the entry has no Comment"
    case ";$(key Categories)" in
        *";Graphics;"*) ;;
        *) fail "Categories '$(key Categories)' lack Graphics" ;;
    esac
fi

# The AppStream metadata: valid, same id, launches the installed entry, names this version.
metainfo=$root/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || {
        appstreamcli validate --no-net "$metainfo"; fail "appstreamcli rejects the installed metadata"; }
    grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
fi

[ $failures -eq 0 ] || exit 1
echo "install-check: ${#expected[@]} files installed under $prefix, nothing else"
