#!/usr/bin/env bash
# Fails when a file of the program includes what its layer may not use:
#   - a project header ("folder/name.h") of a folder its own folder may not see;
#   - in platform/, a header of Qt's widgets (platform/ links no widgets);
#   - outside platform/, an operating-system header.
# Usage: layering.sh SOURCE_DIR QT_WIDGETS_INCLUDE_DIR
set -uo pipefail
root=$1
widgets=$2

# What each folder may include besides itself; app/ may include anything.
declare -A may=(
    [platform]=""
    [ui]="platform"
    [settings]=""
    [browse]="settings ui platform"
    [selection]="browse settings ui platform"
    [fileops]="selection browse settings ui platform"
    [dialogs]="browse settings ui platform"
    [renamer]="fileops browse settings ui platform"
    [app]="*"
)

[ -d "$widgets" ] && [ -e "$widgets/QWidget" ] || { echo "no Qt widget headers at '$widgets'"; exit 1; }

cd "$root" || exit 1
found=0
problem() {
    echo "$1"
    found=1
}

for folder in "${!may[@]}"; do
    [ -d "$folder" ] || { problem "the folder $folder/ is missing"; continue; }
    while IFS= read -r file; do
        while IFS= read -r included; do
            target=${included%%/*}
            [ "$target" = "$folder" ] && continue
            [ "${may[$folder]}" = "*" ] && [ -n "${may[$target]+known}" ] && continue
            if [ "$target" = "$included" ] || [ -z "${may[$target]+known}" ]; then
                problem "$file includes \"$included\", which is no header of the program"
            elif [[ " ${may[$folder]} " != *" $target "* ]]; then
                problem "$file includes \"$included\": $folder/ may not use $target/"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")

        while IFS= read -r included; do
            if [ "$folder" = platform ]; then
                if [ -e "$widgets/$included" ] || [[ $included == QtWidgets/* ]]; then
                    problem "$file includes <$included>: platform/ uses no widgets"
                fi
            elif [[ $included == *.h && $included != Q* ]]; then
                problem "$file includes <$included>: only platform/ includes operating-system headers"
            fi
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$file")
    done < <(find "$folder" -name '*.cpp' -o -name '*.h')
done

# A new folder of program code must find its place in the table above.
for folder in */; do
    folder=${folder%/}
    case $folder in tests | bench | build*) continue ;; esac
    if [ -z "${may[$folder]+known}" ] && [ -n "$(find "$folder" -name '*.cpp' -o -name '*.h' | head -1)" ]; then
        problem "$folder/ holds program code but has no place in the layers of tests/layering.sh"
    fi
done

if [ "$found" = 0 ]; then
    echo "every include follows the layers"
fi
exit "$found"
