# Shared by ./scripts/run and ./scripts/test: installs the Debian packages that are missing and
# configures and builds the program into a build folder of the caller's choosing.
set -euo pipefail

cd "$(dirname "$0")/.."

ensure_packages() {
    local missing=()
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The fonts: Liberation Sans stands in for Arial at the same widths, Comic Neue for Comic Sans MS,
# so the captions fit their boxes.
# qt6-base-private-dev: the tests deliver events as the window system does.
# zlib1g-dev: the program reads the text of PNG thumbnails itself, inflating it within a bound.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev zlib1g-dev librsvg2-bin
    fonts-dejavu-core fonts-liberation2 fonts-comic-neue ca-certificates)

# build FOLDER [CMAKE OPTIONS...]: ./scripts/run builds into build/ and ./scripts/test into build-test/,
# so alternating them rebuilds nothing that has not changed.
build() {
    local folder=$1
    shift
    cmake -S . -B "$folder" -G Ninja "$@"
    cmake --build "$folder" --parallel
}
