#!/usr/bin/env bash
# tst_install.sh SOURCE BUILD: install, start through the menu, install again and
# elsewhere, uninstall; then, as root, through sudo and for other users.
set -euo pipefail
top=$1
build=$2

work=$(mktemp -d)
users=()
sudoers=
# Programs are stopped by the id of a process running a file of ours.
running() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/exe" 2>/dev/null)" = "$1" ] && printf '%s\n' "${proc#/proc/}"
    done
    return 0
}
cleanup() {
    local proc user
    for proc in /proc/[0-9]*; do
        case "$(readlink "$proc/exe" 2>/dev/null)" in "$work"/*) kill -9 "${proc#/proc/}" 2>/dev/null || true ;; esac
    done
    [ -z "$sudoers" ] || rm -f "$sudoers"
    for user in "${users[@]}"; do userdel "$user" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
script() { timeout 120 bash "$top/scripts/tarnel.sh" "$@"; }

# Starts a menu entry the way desktops do and waits for its program to run,
# from the program folder and in it; then stops it outright, so it writes
# nothing more. A runs as that user. WAIT: a folder the program makes at start.
launch() {
    local entry=$1 program=$2 folder=$3 as=() wait=${5:-} pid=
    [ -z "${4:-}" ] || as=(runuser -u "$4" -- env -u XDG_RUNTIME_DIR)
    (cd "$work" && timeout 20 "${as[@]}" gio launch "$entry") >"$work/gio.log" 2>&1 </dev/null ||
        fail "GLib did not start $entry: $(cat "$work/gio.log")"
    for _ in $(seq 300); do
        [ -n "$pid" ] || pid=$(running "$folder/$program")
        [ -n "$pid" ] && { [ -z "$wait" ] || [ -d "$wait" ]; } && break
        sleep 0.05
    done
    [ -n "$pid" ] || fail "$entry started no $folder/$program"
    [ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "$entry did not start $program in its program folder"
    [ -z "$wait" ] || [ -d "$wait" ] || fail "$program started from $entry made no $wait"
    kill -9 "$pid"
    for _ in $(seq 100); do
        [ -n "$(running "$folder/$program")" ] || return 0
        sleep 0.05
    done
    fail "$folder/$program did not stop"
}

export HOME="$work/home"
mkdir -p "$HOME"
unset SUDO_USER
# Blanks and a percent sign: the desktop entry must quote and escape them.
folder="$work/Мои программы/Orvane 100%"
applications="$HOME/.local/share/applications"
icons="$HOME/.local/share/icons/hicolor/scalable/apps"
shipped=".orvane-tarnel.install kelvane libtarnelprint.so tarnel tarnelclick.wav tarnelover.wav"

listing() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'); }

script install-built "$build" "$folder" >/dev/null
[ "$(listing "$folder")" = "$shipped" ] || fail "the program folder holds: $(listing "$folder")"
for file in tarnel kelvane libtarnelprint.so; do
    cmp -s "$build/bin/$file" "$folder/$file" || fail "$file is not the built one"
done
for program in tarnel kelvane; do
    entry="$applications/orvane-$program.desktop"
    desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
    grep -q '^Name\[ru\]=.' "$entry" && grep -q '^Comment\[ru\]=.' "$entry" || fail "$entry has no Russian name"
    [ -s "$icons/orvane-$program.svg" ] || fail "no icon for $program"
    launch "$entry" "$program" "$folder"
done

rm -rf "$folder/My Tarnel"

# Started from elsewhere, the installed program makes its personal folder in
# its own folder. It is stopped outright: no shut-down, so it writes nothing more.
(cd "$work" && exec timeout 60 "$folder/tarnel" >"$work/tarnel.log" 2>&1) &
pid=$!
for _ in $(seq 600); do
    [ -d "$folder/My Tarnel" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[ -d "$folder/My Tarnel" ] || fail "the installed tarnel made no personal folder: $(cat "$work/tarnel.log")"
[ ! -e "$work/My Tarnel" ] || fail "the installed tarnel wrote into the current folder"
kill "$(running "$folder/tarnel")" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

# The user's data, including a kept old list, survive an install over them.
data=(applist.tn phones.tn tarnel.ini applist.tn.bak "My Tarnel/письмо.txt")
printf '[general]\r\nmax=0\r\n' >"$folder/applist.tn"
printf 'Anna|111|\r\n\r\n' >"$folder/phones.tn"
printf '[Main]\r\nTab=2\r\n' >"$folder/tarnel.ini"
printf 'old list\r\n' >"$folder/applist.tn.bak"
printf 'text\r\n' >"$folder/My Tarnel/письмо.txt"
(cd "$folder" && sha256sum "${data[@]}") >"$work/data.sum"
printf 'an older program\n' >"$folder/tarnel"
script install-built "$build" "$folder" >/dev/null
cmp -s "$build/bin/tarnel" "$folder/tarnel" || fail "a second install did not replace tarnel"
(cd "$folder" && sha256sum --quiet -c "$work/data.sum") || fail "a second install changed the user's data"

# A folder without an installation, holding a file of the user's that happens to
# have a program's name: uninstall removes nothing, here or in the menu.
mkdir "$work/other"
printf 'mine\n' >"$work/other/tarnel"
! script uninstall "$work/other" >"$work/wrong.log" 2>&1 || fail "uninstall of a folder without an installation succeeded"
grep -q "no installation of Orvane Tarnel in $work/other" "$work/wrong.log" || fail "uninstall did not say: $(cat "$work/wrong.log")"
[ -f "$work/other/tarnel" ] || fail "uninstall removed a file it had not installed"
for program in tarnel kelvane; do
    [ -f "$applications/orvane-$program.desktop" ] && [ -f "$icons/orvane-$program.svg" ] ||
        fail "uninstall of another folder removed the $program entry or icon"
done

# Installed into a new folder, the earlier installation and its data are named.
new="$work/new place/Orvane"
script install-built "$build" "$new" >"$work/move.log"
grep -qF "An earlier installation is still in $folder, and its data stay there: " "$work/move.log" &&
    grep -q 'phones.tn' "$work/move.log" || fail "the install elsewhere did not name the earlier one: $(cat "$work/move.log")"
launch "$applications/orvane-tarnel.desktop" tarnel "$new"
# The earlier one goes without the menu's entries; a program file the user
# changed stays.
printf 'my own sound\n' >"$folder/tarnelover.wav"
script uninstall "$folder" >"$work/uninstall.log"
for file in kelvane tarnel libtarnelprint.so tarnelclick.wav .orvane-tarnel.install; do
    [ ! -e "$folder/$file" ] || fail "uninstall left $file"
done
grep -q '^Kept tarnelover.wav: changed' "$work/uninstall.log" && [ -f "$folder/tarnelover.wav" ] ||
    fail "uninstall removed or did not name a changed program file"
(cd "$folder" && sha256sum --quiet -c "$work/data.sum") || fail "uninstall changed the user's data"
grep -q "^Kept your data in $folder: " "$work/uninstall.log" || fail "uninstall did not say what it kept"
for program in tarnel kelvane; do
    [ -f "$applications/orvane-$program.desktop" ] && [ -f "$icons/orvane-$program.svg" ] ||
        fail "uninstall of the earlier folder removed the $program entry or icon"
done
# Uninstall finds the last one through the menu entry and takes away what
# install made: no empty folder, no menu cache.
rm -rf "$new/My Tarnel"
script uninstall >/dev/null
[ ! -e "$work/new place" ] || fail "uninstall left $(find "$work/new place")"
[ ! -e "$applications" ] && [ ! -e "$HOME/.local/share/icons" ] ||
    fail "uninstall left $(find "$applications" "$HOME/.local/share/icons" 2>/dev/null)"

# Root's part: sudo and other users, with throwaway accounts that have neither
# a password nor a shell.
for tool in useradd userdel runuser setpriv sudo visudo; do
    if [ "$(id -u)" -ne 0 ] || ! command -v "$tool" >/dev/null; then
        echo "SKIP: sudo and other users (needs root and $tool)"
        echo "PASS"
        exit 0
    fi
done
chmod 755 "$work"
add_user() {
    useradd -M -d "$work/$1" -s /usr/sbin/nologin "$1"
    users+=("$1")
    mkdir -m 700 "$work/$1"
    chown "$1:" "$work/$1"
}
# A clone of a project standing in for the suite: its build copies the
# programs built for this test, so an install through the script takes seconds.
clone() {
    local clone="$work/$1/clone"
    mkdir -p "$clone/scripts" "$clone/desktop"
    cp "$top/scripts/tarnel.sh" "$clone/scripts/"
    cp -r "$top/desktop/icons" "$clone/desktop/"
    cp "$top/CMakePresets.json" "$clone/"
    cat >"$clone/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(Stand LANGUAGES NONE)
foreach(program tarnel kelvane)
    add_custom_target(\${program} COMMAND "\${CMAKE_COMMAND}" -E copy "$build/bin/\${program}" "\${CMAKE_BINARY_DIR}/bin/\${program}")
    install(PROGRAMS "\${CMAKE_BINARY_DIR}/bin/\${program}" DESTINATION .)
endforeach()
install(FILES "$build/bin/libtarnelprint.so" "$build/bin/tarnelclick.wav" "$build/bin/tarnelover.wav" DESTINATION .)
CMAKE
    chown -R "$1:" "$clone"
}
root_files() { find "$work/$1" -uid 0 -print -quit; }

# Through sudo, only the packages are root's business: the user's clone, build
# and installation stay theirs, and their own next install works. A folder an
# earlier run as root left in the build is given back.
a="tarnel$$a"
add_user "$a"
clone "$a"
mkdir -p "$work/$a/clone/build/release"
sudoers="/etc/sudoers.d/tarnel-test-$$"
printf '%s ALL=(root) NOPASSWD: ALL\n' "$a" >"$sudoers"
chmod 440 "$sudoers"
if ! timeout 20 runuser -u "$a" -- sudo -n true </dev/null >"$work/sudo.log" 2>&1; then
    echo "SKIP: the install through sudo (sudo refuses here: $(cat "$work/sudo.log"))"
else
    (cd "$work/$a/clone" && timeout 120 runuser -u "$a" -- sudo -n bash scripts/tarnel.sh install) \
        </dev/null >"$work/sudo.log" 2>&1 || fail "the install through sudo failed: $(cat "$work/sudo.log")"
    [ -z "$(root_files "$a")" ] || fail "the install through sudo left root's files with $a: $(root_files "$a")"
    [ -f "$work/$a/.local/opt/orvane-tarnel/tarnel" ] || fail "the install through sudo was not for $a"
    (cd "$work/$a/clone" && timeout 120 runuser -u "$a" -- bash scripts/tarnel.sh install) \
        </dev/null >"$work/own.log" 2>&1 || fail "$a's own install after sudo failed: $(cat "$work/own.log")"
fi

# Root with another user's home installs for that user, whose tarnel can then
# write its folder; into that user's files with root's own home, it refuses.
b="tarnel$$b"
add_user "$b"
clone "$b"
(cd "$work/$b/clone" && HOME="$work/$b" timeout 120 bash scripts/tarnel.sh install) </dev/null >"$work/root.log" 2>&1 ||
    fail "root's install with $b's home failed: $(cat "$work/root.log")"
[ -z "$(root_files "$b")" ] || fail "root's install left root's files in $b's home: $(root_files "$b")"
installed="$work/$b/.local/opt/orvane-tarnel"
launch "$work/$b/.local/share/applications/orvane-tarnel.desktop" tarnel "$installed" "$b" "$installed/My Tarnel"
! script install-built "$build" "$work/$b/elsewhere" >"$work/root.log" 2>&1 && [ ! -e "$work/$b/elsewhere" ] ||
    fail "root installed into $b's files: $(cat "$work/root.log")"

# A user who may not use sudo is told what an administrator must install, at
# once and without a password prompt, and the folder name is checked before
# anything else; packages only the tests want do not stop an install.
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
# Reports the packages named in the file "absent" beside it as not installed.
for package; do :; done
grep -qxF "$package" "$(dirname "$0")/absent" || printf 'install ok installed'
FAKE
chmod 755 "$work/bin" "$work/bin/dpkg-query"
# As b, at a terminal as a person would be (whose typing here is at its end).
as_b() {
    local command
    command=$(printf '%q ' env PATH="$work/bin:$PATH" bash scripts/tarnel.sh "$@")
    (cd "$work/$b/clone" && timeout 60 runuser -u "$b" -- script -qec "$command" /dev/null) </dev/null |
        tr -d '\r' >"$work/b.log"
    return "${PIPESTATUS[0]}"
}
echo cmake >"$work/bin/absent"
rm -rf "$work/$b/clone/build"
as_b install 'bad\name' && fail "a folder name with a backslash was taken"
grep -q 'cannot hold' "$work/b.log" || fail "the folder name was not checked first: $(cat "$work/b.log")"
as_b install && fail "an install without cmake went ahead"
grep -qxF '    apt-get install --no-install-recommends cmake' "$work/b.log" && ! grep -q password "$work/b.log" &&
    [ ! -e "$work/$b/clone/build" ] || fail "a user without sudo was not told what to install: $(cat "$work/b.log")"
printf '%s\n' ccache desktop-file-utils sudo libglib2.0-bin >"$work/bin/absent"
as_b install || fail "packages for the tests stopped an install: $(cat "$work/b.log")"
echo "PASS"
