#!/usr/bin/env bash
# Sets up a Debian 12 machine for Orvane Tarnel, builds it and runs it or its tests.
#   scripts/tarnel.sh run         install what is missing, build, start tarnel
#   scripts/tarnel.sh test        install what is missing, build, run the tests
#   scripts/tarnel.sh test-asan   the same with AddressSanitizer and UBSan
#   scripts/tarnel.sh install [FOLDER]     build the release and install it for the user, with
#                                          desktop entries (FOLDER: ~/.local/opt/orvane-tarnel)
#   scripts/tarnel.sh uninstall [FOLDER]   remove the programs, entries and icons; keep the data
#   scripts/tarnel.sh install-built BUILD [FOLDER]   install an already built tree (the install test)
set -euo pipefail

mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ ccache pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          qt6-translations-l10n libasound2-dev fonts-liberation2 xdg-utils desktop-file-utils)

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

# Every data file lives beside the programs, so the program folder must be one
# its user can write: we install per user, into the user's own home. Run as
# root through sudo, that is the invoking user's home, and the files are theirs.
owner=$(id -un)
if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
    owner=$SUDO_USER
fi
owner_home=$(getent passwd "$owner" | cut -d: -f6)
[ -n "$owner_home" ] || owner_home=$HOME
[ "$owner" = "$(id -un)" ] && owner_home=$HOME
applications="$owner_home/.local/share/applications"
icons="$owner_home/.local/share/icons/hicolor"
programs=(tarnel kelvane)
shipped=(tarnel kelvane tarnelclick.wav tarnelover.wav)

install_folder() {
    local folder=${1:-}
    if [ -z "$folder" ]; then
        # Where an earlier install put the programs, as its desktop entry says.
        local entry="$applications/orvane-tarnel.desktop"
        [ -f "$entry" ] && folder=$(sed -n 's/^Path=//p' "$entry" | head -n 1 | sed 's/\\\\/\\/g')
        [ -n "$folder" ] || folder="$owner_home/.local/opt/orvane-tarnel"
    fi
    case "$folder" in
    /*) ;;
    *) folder="$PWD/$folder" ;;
    esac
    case "$folder" in
    # cmake --install reads a backslash as a folder separator.
    *$'\n'* | *$'\t'* | *$'\r'* | *\\*)
        echo "A program folder name cannot hold a line break, a tab or a backslash: $folder" >&2
        exit 2
        ;;
    esac
    printf '%s\n' "${folder%/}"
}

# Folders and files made for the user, handed to them when root made them.
made=()
make_folder() {
    local folder=$1 missing=()
    while [ ! -d "$folder" ]; do
        missing=("$folder" "${missing[@]}")
        folder=$(dirname "$folder")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    mkdir -p "${missing[-1]}"
    made+=("${missing[@]}")
}
hand_over() {
    [ "$owner" = "$(id -un)" ] || [ ${#made[@]} -eq 0 ] || chown "$owner:" "${made[@]}"
}

# A desktop entry's string value: a backslash is written doubled.
entry_string() { printf '%s' "${1//\\/\\\\}"; }
# Exec quotes the program path, escaping what the quotes do not protect, then
# is a string value itself; a percent sign is a field code unless doubled.
entry_exec() {
    local s=$1
    s=${s//\\/\\\\}
    s=${s//\"/\\\"}
    s=${s//\`/\\\`}
    s=${s//\$/\\\$}
    s=${s//%/%%}
    printf '"%s"' "$(entry_string "$s")"
}

write_entry() {
    local file=$1 folder=$2 program=$3 name=$4 name_ru=$5 comment=$6 comment_ru=$7
    # The programs start the suite's other programs from the current folder,
    # so the entry starts them in the program folder.
    cat >"$file" <<ENTRY
[Desktop Entry]
Type=Application
Version=1.0
Name=$name
Name[ru]=$name_ru
Comment=$comment
Comment[ru]=$comment_ru
Exec=$(entry_exec "$folder/$program")
TryExec=$(entry_string "$folder/$program")
Path=$(entry_string "$folder")
Icon=orvane-$program
Terminal=false
Categories=Utility;
StartupWMClass=$program
ENTRY
    made+=("$file")
}

# The menus' caches, rebuilt as root, are handed to the user with the rest.
refresh_desktop() {
    command -v update-desktop-database >/dev/null && update-desktop-database -q "$applications" 2>/dev/null || true
    command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$icons" 2>/dev/null || true
    for cache in "$applications/mimeinfo.cache" "$icons/icon-theme.cache"; do
        [ -e "$cache" ] && made+=("$cache")
    done
    hand_over
}

install_built() {
    local build=$1 folder
    folder=$(install_folder "${2:-}")
    make_folder "$folder"
    # A running copy keeps its own file: the new one is a new file, not
    # written over the old one's bytes.
    for file in "${shipped[@]}"; do rm -f "$folder/$file"; done
    cmake --install "$build" --prefix "$folder" >/dev/null
    for file in "${shipped[@]}"; do made+=("$folder/$file"); done

    make_folder "$applications"
    make_folder "$icons/scalable/apps"
    for program in "${programs[@]}"; do
        install -m 644 "$top/desktop/icons/orvane-$program.svg" "$icons/scalable/apps/orvane-$program.svg"
        made+=("$icons/scalable/apps/orvane-$program.svg")
    done
    write_entry "$applications/orvane-tarnel.desktop" "$folder" tarnel \
        "Orvane Tarnel" "Домашний центр Orvane Tarnel" \
        "Program list, notes, phone book and the suite's tools and games" \
        "Список программ, записи, телефоны, инструменты и игры комплекса"
    write_entry "$applications/orvane-kelvane.desktop" "$folder" kelvane \
        "Orvane Kelvane" "Orvane Kelvane" \
        "Shows a character's code and whether it is an English or a Russian letter" \
        "Показывает код символа и определяет, русская это буква или английская"
    refresh_desktop
    echo "Installed Orvane Tarnel for $owner in $folder"
    echo "Desktop entries: $applications/orvane-tarnel.desktop, $applications/orvane-kelvane.desktop"
}

uninstall() {
    local folder kept=()
    folder=$(install_folder "${1:-}")
    for file in "${shipped[@]}"; do rm -f "$folder/$file"; done
    for program in "${programs[@]}"; do
        rm -f "$applications/orvane-$program.desktop" "$icons/scalable/apps/orvane-$program.svg"
    done
    refresh_desktop
    echo "Removed Orvane Tarnel from $folder"
    if [ -d "$folder" ]; then
        while IFS= read -r -d '' file; do kept+=("${file##*/}"); done \
            < <(find "$folder" -mindepth 1 -maxdepth 1 -print0 | sort -z)
        if [ ${#kept[@]} -eq 0 ]; then
            rmdir "$folder"
        else
            echo "Kept your data in $folder: ${kept[*]}"
        fi
    fi
}

case "$mode" in
uninstall)
    uninstall "${2:-}"
    exit 0
    ;;
install-built)
    [ $# -ge 2 ] || { echo "usage: $0 install-built BUILD [FOLDER]" >&2; exit 2; }
    install_built "$2" "${3:-}"
    exit 0
    ;;
esac

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
install)
    build release --target tarnel kelvane
    install_built "$top/build/release" "${2:-}"
    ;;
*)
    echo "usage: $0 run|test|test-asan|install [FOLDER]|uninstall [FOLDER]" >&2
    exit 2
    ;;
esac
