#!/usr/bin/env bash
# Sets up a Debian 12 machine for Orvane Tarnel, builds it and runs it or its tests.
#   scripts/tarnel.sh run         install what is missing, build, start tarnel
#   scripts/tarnel.sh test        install what is missing, build, run the tests
#   scripts/tarnel.sh test-asan   the same with AddressSanitizer and UBSan
#   scripts/tarnel.sh install [FOLDER]     build the release and install it for the user, with
#                                          desktop entries (FOLDER: ~/.local/opt/orvane-tarnel)
#   scripts/tarnel.sh uninstall [FOLDER]   remove the programs, entries and icons; keep the data
#   scripts/tarnel.sh install-built BUILD [FOLDER]   install an already built tree (the install test)
# Only the Debian packages need root. Run through sudo, or by root with another
# user's home, everything after them runs as that user, so the clone, its build
# and the installation stay theirs.
set -euo pipefail

mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)
script="$top/scripts/$(basename "$0")"

usage() {
    echo "usage: $0 run|test|test-asan|install [FOLDER]|uninstall [FOLDER]|install-built BUILD [FOLDER]" >&2
    exit 2
}

# What building and running need, and so all that run and install ask for.
run_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libasound2-dev
              qt6-translations-l10n fonts-liberation2 xdg-utils
              libcups2-dev) # CUPS's headers: printing asks the print server itself whether it took each job
# The tests need more: ccache keeps their repeated builds short, and the install
# test validates the menu entries (desktop-file-utils), installs through sudo
# (sudo) and starts the entries the way desktops do (gio, in libglib2.0-bin);
# the screenshots CI compares are drawn with fonts-dejavu-core and fonts-liberation2;
# the accessibility tests switch Qt's accessibility on under the offscreen
# platform, which only Qt's private interface can (qt6-base-private-dev).
test_packages=(ccache desktop-file-utils sudo libglib2.0-bin fonts-dejavu-core qt6-base-private-dev)

needs_administrator() {
    {
        echo "Missing Debian packages: $*"
        echo "They need an administrator, who installs them as root with:"
        echo "    apt-get install --no-install-recommends $*"
        echo "Then run this command again (or run it with sudo, if you may use sudo)."
    } >&2
    exit 1
}

# Asking sudo is worth it only where it can succeed: a rule without a password,
# or Debian's administrators' group and someone at the keyboard to type one.
# Anyone else would only be refused after typing theirs.
may_sudo() {
    command -v sudo >/dev/null || return 1
    sudo -n true 2>/dev/null && return 0
    [ -t 0 ] && id -Gn | tr ' ' '\n' | grep -qx sudo
}

# What install_missing installed, for saying so.
installed_packages=()
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        may_sudo || needs_administrator "${missing[@]}"
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    # sudo drops the caller's environment, so the front end is set behind it.
    if ! "${sudo[@]}" apt-get update -q ||
        ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        needs_administrator "${missing[@]}"
    fi
    installed_packages=("${missing[@]}")
}

build() {
    local preset=$1
    shift
    cmake --preset "$preset" -S "$top" >/dev/null
    cmake --build --preset "$preset" "$@"
}

# A folder named on the command line, made absolute and checked before anything
# slow runs.
checked_folder() {
    local folder=$1
    case "$folder" in
    /*) ;;
    *) folder="$PWD/$folder" ;;
    esac
    case "$folder" in
    # cmake --install reads a backslash as a folder separator; the desktop
    # entries and the install record hold the name on one line.
    *$'\n'* | *$'\t'* | *$'\r'* | *\\*)
        echo "A program folder name cannot hold a line break, a tab or a backslash: $folder" >&2
        exit 2
        ;;
    esac
    folder=${folder%/}
    printf '%s\n' "${folder:-/}"
}

args=("$mode")
case "$mode" in
run | test | test-asan) [ $# -le 1 ] || usage ;;
install | uninstall)
    [ $# -le 2 ] || usage
    if [ -n "${2:-}" ]; then
        folder=$(checked_folder "$2")
        args+=("$folder")
    fi
    ;;
install-built)
    { [ $# -ge 2 ] && [ $# -le 3 ]; } || usage
    built=$(cd "$2" && pwd)
    args+=("$built")
    if [ -n "${3:-}" ]; then
        folder=$(checked_folder "$3")
        args+=("$folder")
    fi
    ;;
*) usage ;;
esac

case "$mode" in
run | install) needs=("${run_packages[@]}") ;;
test | test-asan) needs=("${run_packages[@]}" "${test_packages[@]}") ;;
*) needs=() ;;
esac

# Under sudo the work is for the user who called it; by root with someone
# else's home, for the owner of that home.
user=
if [ "$(id -u)" -eq 0 ]; then
    if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] && getent passwd "$SUDO_USER" >/dev/null; then
        user=$SUDO_USER
        user_home=$(getent passwd "$user" | cut -d: -f6)
    elif home_uid=$(stat -c %u -- "${HOME:-/}" 2>/dev/null) && [ "$home_uid" -ne 0 ]; then
        user=$(getent passwd "$home_uid" | cut -d: -f1) || true
        if [ -z "$user" ]; then
            echo "HOME is $HOME, which belongs to user id $home_uid, who has no account here; root writes nothing into it." >&2
            exit 2
        fi
        user_home=$HOME
    fi
fi
if [ -n "$user" ]; then
    install_missing "${needs[@]}"
    group=$(id -gn "$user")
    # What an earlier run as root left in this clone's build goes back to its
    # user, whose next build would stop at "Permission denied" otherwise.
    if [ -d "$top/build" ] && [ "$(stat -c %U -- "$top")" = "$user" ]; then
        find "$top/build" -xdev -uid 0 -exec chown -h "$user:$group" {} +
    fi
    if [ ${#needs[@]} -eq 0 ]; then
        echo "Going on as $user: $mode needs no Debian packages."
    elif [ ${#installed_packages[@]} -eq 0 ]; then
        echo "No Debian package was missing; going on as $user."
    else
        echo "Installed the missing Debian packages as root; going on as $user."
    fi
    cd "$top" 2>/dev/null || cd /
    exec setpriv --reuid="$user" --regid="$group" --init-groups -- \
        env -u SUDO_USER -u SUDO_UID -u SUDO_GID -u SUDO_COMMAND -u XDG_RUNTIME_DIR \
        HOME="$user_home" USER="$user" LOGNAME="$user" bash "$script" "${args[@]}"
fi

# From here on, whoever runs this is the user the installation is for. Every
# data file lives beside the programs, so the program folder must be one that
# user can write: we install per user, into their own home.
home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
applications="$home/.local/share/applications"
icons="$home/.local/share/icons/hicolor"
default_folder="$home/.local/opt/orvane-tarnel"
programs=(tarnel kelvane)
shipped=(tarnel kelvane tarnelclick.wav tarnelover.wav)
# What earlier versions also put there: in an installation of theirs it is
# replaced, recorded and removed like the rest.
retired=(libtarnelprint.so)
program_files=("${shipped[@]}" "${retired[@]}")
# What install put into the program folder and made around it: uninstall
# removes no program file that differs from it, and no folder it did not make.
record=".orvane-tarnel.install"

# A desktop entry's string value: a backslash is written doubled.
entry_string() { printf '%s' "${1//\\/\\\\}"; }
# The program folder a menu entry starts in; nothing without the entry.
entry_folder() {
    [ -f "$1" ] || return 0
    sed -n 's/^Path=//p' "$1" | head -n 1 | sed 's/\\\\/\\/g'
}
same_folder() { [ "$1" = "$2" ] || { [ -e "$1" ] && [ "$1" -ef "$2" ]; }; }
points_at() {
    local path
    path=$(entry_folder "$1")
    [ -n "$path" ] && same_folder "$path" "$2"
}
quoted() { printf "'%s'" "${1//\'/\'\\\'\'}"; }
sum_of() { sha256sum <"$1" | cut -d' ' -f1; }

install_folder() {
    local folder=${1:-}
    if [ -z "$folder" ]; then
        # Where an earlier install put the programs, as its desktop entry says.
        folder=$(entry_folder "$applications/orvane-tarnel.desktop")
        [ -n "$folder" ] || folder=$default_folder
    fi
    checked_folder "$folder"
}

# The folder, or the nearest one above it that exists.
existing_above() {
    local path=$1
    while [ ! -e "$path" ] && [ ! -L "$path" ]; do path=$(dirname "$path"); done
    printf '%s\n' "$path"
}

# Said before the build, not after it.
check_writable() {
    local folder=$1 base uid who
    base=$(existing_above "$folder")
    if [ ! -d "$base" ]; then
        echo "Cannot install into $folder: $base is not a folder." >&2
        exit 2
    fi
    if [ "$(id -u)" -eq 0 ]; then
        # Root-owned there, the folder would be one its user could never save in.
        uid=$(stat -c %u -- "$base")
        if [ "$uid" -ne 0 ]; then
            who=$(getent passwd "$uid" | cut -d: -f1) || who="user id $uid"
            echo "Cannot install as root into $folder: $base belongs to $who." >&2
            echo "Run the install as $who, or with sudo from that account; it is then $who's." >&2
            exit 2
        fi
    elif [ ! -w "$base" ]; then
        echo "Cannot install into $folder: $(id -un) may not write in $base." >&2
        exit 2
    fi
}

check_buildable() {
    if [ ! -w "$top" ] || { [ -e "$top/build" ] && [ ! -w "$top/build" ]; }; then
        echo "$(id -un) may not write in $top, so cannot build there: use a clone of your own." >&2
        exit 2
    fi
}

# Folders and caches made for the installation, recorded for uninstall.
made=()
make_folder() {
    local folder=$1 missing=()
    while [ ! -e "$folder" ]; do
        missing=("$folder" "${missing[@]}")
        folder=$(dirname "$folder")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    mkdir -p "${missing[-1]}"
    made+=("${missing[@]}")
}

# What a record says was made: in the folder's own record, all of it; in an
# earlier installation's, what it shares with this one (the menu's folders and
# caches).
recorded_made() {
    local file=$1 skip=${2:-} line
    [ -f "$file" ] || return 0
    while IFS= read -r line; do
        case "$line" in
        "made "*)
            line=${line#made }
            [ -n "$skip" ] && { [ "$line" = "$skip" ] || [[ "$line" == "$skip"/* ]]; } && continue
            printf '%s\n' "$line"
            ;;
        esac
    done <"$file"
    return 0
}

write_record() {
    local folder=$1 file
    {
        echo "# Written by scripts/tarnel.sh install: uninstall removes these files only while unchanged."
        for file in "${program_files[@]}"; do
            [ -f "$folder/$file" ] && printf 'file %s %s\n' "$(sum_of "$folder/$file")" "$file"
        done
        [ ${#made[@]} -eq 0 ] || printf 'made %s\n' "${made[@]}" | sort -u
    } >"$folder/$record"
    return 0
}

# Exec quotes the program path, escaping what the quotes do not protect, then
# is a string value itself. A percent sign would be doubled, but GLib looks for
# the program under the doubled name and refuses the entry: such a folder is
# given to env, whose arguments GLib does undouble, and the program is named
# from inside it.
entry_exec() {
    local folder=$1 program=$2 s
    s=${folder//\\/\\\\}
    s=${s//\"/\\\"}
    s=${s//\`/\\\`}
    s=${s//\$/\\\$}
    s=${s//%/%%}
    case "$folder" in
    *%*) entry_string "env -C \"$s\" ./$program" ;;
    *) entry_string "\"$s/$program\"" ;;
    esac
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
Exec=$(entry_exec "$folder" "$program")
TryExec=$(entry_string "$folder/$program")
Path=$(entry_string "$folder")
Icon=orvane-$program
Terminal=false
Categories=Utility;
StartupWMClass=$program
ENTRY
}

refresh_desktop() {
    local cache absent=()
    for cache in "$applications/mimeinfo.cache" "$icons/icon-theme.cache"; do
        [ -e "$cache" ] || absent+=("$cache")
    done
    if [ -d "$applications" ] && command -v update-desktop-database >/dev/null; then
        update-desktop-database -q "$applications" 2>/dev/null || true
    fi
    if [ -d "$icons" ] && command -v gtk-update-icon-cache >/dev/null; then
        gtk-update-icon-cache -q -t "$icons" 2>/dev/null || true
    fi
    for cache in "${absent[@]}"; do
        [ -e "$cache" ] && made+=("$cache")
    done
    return 0
}

# What the folder holds besides the installation: the user's data.
data_in() {
    local folder=$1 file name data=()
    while IFS= read -r -d '' file; do
        name=${file##*/}
        [ "$name" = "$record" ] && continue
        [[ " ${program_files[*]} " == *" $name "* ]] && continue
        data+=("$name")
    done < <(find "$folder" -mindepth 1 -maxdepth 1 -print0 | sort -z)
    printf '%s\n' "${data[*]}"
    return 0
}

# An installation in another folder than the one given: the one the menu
# starts, or one in the default folder.
earlier_installation() {
    local folder=$1 candidate
    for candidate in "$(entry_folder "$applications/orvane-tarnel.desktop")" "$default_folder"; do
        [ -n "$candidate" ] || continue
        [ -f "$candidate/tarnel" ] || [ -f "$candidate/$record" ] || continue
        same_folder "$candidate" "$folder" && continue
        printf '%s\n' "$candidate"
        return 0
    done
}

install_built() {
    local build=$1 folder=$2 earlier file program old_made=() line
    check_writable "$folder"
    earlier=$(earlier_installation "$folder")
    # An installation from before installs kept records: the menu entry vouches
    # for its programs, so they are recorded now, while that is known.
    if [ -n "$earlier" ] && [ ! -e "$earlier/$record" ] && [ -w "$earlier" ] &&
        points_at "$applications/orvane-tarnel.desktop" "$earlier"; then
        write_record "$earlier"
    fi
    while IFS= read -r line; do old_made+=("$line"); done < <(
        recorded_made "$folder/$record"
        [ -z "$earlier" ] || recorded_made "$earlier/$record" "$earlier"
    )

    make_folder "$folder"
    # A running copy keeps its own file: the new one is a new file, not
    # written over the old one's bytes.
    for file in "${program_files[@]}"; do rm -f "$folder/$file"; done
    cmake --install "$build" --prefix "$folder" >/dev/null

    make_folder "$applications"
    make_folder "$icons/scalable/apps"
    for program in "${programs[@]}"; do
        install -m 644 "$top/desktop/icons/orvane-$program.svg" "$icons/scalable/apps/orvane-$program.svg"
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
    made+=("${old_made[@]}")
    write_record "$folder"
    echo "Installed Orvane Tarnel for $(id -un) in $folder"
    echo "Desktop entries: $applications/orvane-tarnel.desktop, $applications/orvane-kelvane.desktop"
    if [ -n "$earlier" ]; then
        local data
        data=$(data_in "$earlier")
        echo "An earlier installation is still in $earlier, and its data stay there${data:+: $data}."
        echo "The menu now starts the one in $folder, which does not see them. To carry them over, close"
        echo "tarnel and move them into $folder. To remove the earlier programs:"
        echo "    bash scripts/tarnel.sh uninstall $(quoted "$earlier")"
    fi
}

# Installations by their records near a folder and in the home: where a
# program folder moved by hand may be now. Only a few levels are looked
# through, not the whole disk.
installations_near() {
    local folder=$1 base
    base=$(existing_above "$folder")
    [ -d "$base" ] || base=$(dirname "$base")
    {
        find "$base" -xdev -maxdepth 3 -type f -name "$record" -print0 2>/dev/null
        [ ! -d "$home" ] || find "$home" -xdev -maxdepth 4 -type f -name "$record" -print0 2>/dev/null
    } | sort -zu | while IFS= read -r -d '' line; do
        line=$(dirname "$line")
        same_folder "$line" "$folder" || printf '%s\n' "$line"
    done
}

uninstall() {
    local folder=$1 line sum name ours='' had_record='' removed=() changed=() missing=() entries=() recorded=()
    local entry program cache data found=''
    if [ -f "$folder/$record" ]; then
        ours=1
        had_record=1
        while IFS= read -r line; do
            case "$line" in
            "file "*)
                sum=${line#file }
                name=${sum#* }
                sum=${sum%% *}
                [[ " ${program_files[*]} " == *" $name "* ]] || continue
                if [ ! -f "$folder/$name" ]; then
                    missing+=("$name")
                elif [ "$(sum_of "$folder/$name")" = "$sum" ]; then
                    rm -f "$folder/$name"
                    removed+=("$name")
                else
                    changed+=("$name")
                fi
                ;;
            "made "*) recorded+=("${line#made }") ;;
            esac
        done <"$folder/$record"
        rm -f "$folder/$record"
    elif points_at "$applications/orvane-tarnel.desktop" "$folder"; then
        # Installed before installs kept records, or moved away with its
        # record: the menu entry vouches for the folder.
        ours=1
        for name in "${program_files[@]}"; do
            if [ -f "$folder/$name" ]; then
                rm -f "$folder/$name"
                removed+=("$name")
            elif [[ " ${shipped[*]} " == *" $name "* ]]; then
                missing+=("$name")
            fi
        done
    fi
    for program in "${programs[@]}"; do
        entry="$applications/orvane-$program.desktop"
        if points_at "$entry" "$folder"; then
            rm -f "$entry"
            entries+=("$entry")
        fi
    done
    if [ -z "$ours" ] && [ ${#entries[@]} -eq 0 ]; then
        echo "There is no installation of Orvane Tarnel in $folder; nothing was removed." >&2
        line=$(entry_folder "$applications/orvane-tarnel.desktop")
        [ -z "$line" ] || echo "The menu's Orvane Tarnel is installed in $line." >&2
        exit 1
    fi
    # The icons serve whichever installation the menu still has.
    if ! compgen -G "$applications/orvane-*.desktop" >/dev/null; then
        for program in "${programs[@]}"; do rm -f "$icons/scalable/apps/orvane-$program.svg"; done
    fi
    refresh_desktop
    # Caches and folders that install made go once nothing else is in them.
    # Another uninstall may have taken them already.
    for cache in "${recorded[@]}"; do
        [ -f "$cache" ] || continue
        case "$cache" in
        "$applications/mimeinfo.cache")
            [ -n "$(find "$applications" -mindepth 1 ! -name mimeinfo.cache -print -quit)" ] || rm -f "$cache"
            ;;
        "$icons/icon-theme.cache")
            [ -n "$(find "$icons" -mindepth 1 ! -type d ! -name icon-theme.cache -print -quit)" ] || rm -f "$cache"
            ;;
        esac
    done
    if [ -n "$had_record" ]; then
        while IFS= read -r line; do
            if [ -d "$line" ] && [ ! -L "$line" ]; then rmdir -- "$line" 2>/dev/null || true; fi
        done < <(printf '%s\n' "${recorded[@]}" | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2-)
    elif [ -d "$folder" ] && [ -z "$(ls -A "$folder")" ]; then
        rmdir -- "$folder"
    fi

    [ ${#removed[@]} -eq 0 ] || echo "Removed Orvane Tarnel from $folder: ${removed[*]}"
    [ ${#missing[@]} -eq 0 ] || echo "Not found in $folder, so not removed: ${missing[*]}"
    [ ${#entries[@]} -eq 0 ] || echo "Removed the menu entries: ${entries[*]}"
    [ ${#changed[@]} -eq 0 ] || echo "Kept ${changed[*]}: changed since the install."
    if [ -d "$folder" ]; then
        data=$(data_in "$folder")
        [ -z "$data" ] || echo "Kept your data in $folder: $data"
    fi
    # Only the menu knew this folder, and no program file is in it: it was
    # moved or emptied by hand.
    if [ -z "$had_record" ] && [ ${#removed[@]} -eq 0 ]; then
        echo "No program file of Orvane Tarnel was in $folder. If you moved that folder, the programs are"
        echo "still in its new place, and the menu no longer starts them."
        while IFS= read -r line; do
            found=1
            echo "Orvane Tarnel is installed in $line; to remove it:"
            echo "    bash scripts/tarnel.sh uninstall $(quoted "$line")"
        done < <(installations_near "$folder")
        [ -n "$found" ] || echo "No other installation was found near $folder or in $home."
    fi
    return 0
}

case "$mode" in
uninstall)
    folder=$(install_folder "${2:-}")
    uninstall "$folder"
    ;;
install-built)
    folder=$(install_folder "${3:-}")
    install_built "$built" "$folder"
    ;;
run)
    check_buildable
    install_missing "${needs[@]}"
    build release --target tarnel kelvane
    exec "$top/build/release/bin/tarnel"
    ;;
test)
    check_buildable
    install_missing "${needs[@]}"
    build dev
    ctest --preset dev
    ;;
test-asan)
    check_buildable
    install_missing "${needs[@]}"
    build asan
    ctest --preset asan
    ;;
install)
    folder=$(install_folder "${2:-}")
    check_writable "$folder"
    check_buildable
    install_missing "${needs[@]}"
    build release --target tarnel kelvane
    install_built "$top/build/release" "$folder"
    ;;
esac
