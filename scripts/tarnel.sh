#!/usr/bin/env bash
# Sets up a Debian 12 machine for Orvane Tarnel, builds it and runs it or its tests.
#   scripts/tarnel.sh run         install what is missing, build, start tarnel
#   scripts/tarnel.sh test        install what is missing, build, run the tests
#   scripts/tarnel.sh test-asan   the same with AddressSanitizer and UBSan
set -euo pipefail

mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          qt6-translations-l10n libasound2-dev fonts-liberation2 xdg-utils)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
    local preset=$1
    shift
    cmake --preset "$preset" -S "$top" >/dev/null
    cmake --build --preset "$preset" "$@"
}

install_missing
case "$mode" in
run)
    build release --target tarnel kelvane
    exec "$top/build/release/bin/tarnel"
    ;;
test)
    build dev
    ctest --preset dev
    ;;
test-asan)
    build asan
    ctest --preset asan
    ;;
*)
    echo "usage: $0 run|test|test-asan" >&2
    exit 2
    ;;
esac
