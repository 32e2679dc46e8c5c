#!/usr/bin/env bash
# tst_install.sh SOURCE BUILD: install, start through the menu, install again and
# elsewhere, uninstall; then, as root, through sudo and for other users.
set -euo pipefail
top=$1
build=$2

# The throwaway users below read what this test makes.
umask 022
work=$(mktemp -d)
users=()
sudoers=
# Programs are stopped by the id of a process running a file of ours. The
# processes are listed by one program: a readlink each takes seconds on a busy
# machine.
processes() { find /proc -mindepth 2 -maxdepth 2 -name exe -printf '%h\t%l\n' 2>/dev/null || true; }
running() {
    local proc file
    while IFS=$'\t' read -r proc file; do
        [ "$file" = "$1" ] && printf '%s\n' "${proc#/proc/}"
    done < <(processes)
    return 0
}
cleanup() {
    local proc file user
    while IFS=$'\t' read -r proc file; do
        case "$file" in "$work"/*) kill -9 "${proc#/proc/}" 2>/dev/null || true ;; esac
    done < <(processes)
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
# What the build installs, staged in the test's folder: the caller's build may
# be in a folder only its owner can enter, and the throwaway users need it.
stage="$work/built"
cmake --install "$build" --prefix "$stage" >/dev/null

# Starts a menu entry the way desktops do and waits for its program to run,
# from the program folder and in it; then stops it outright, so it writes
# nothing more. A runs as that user. WAIT: a folder the program makes at start.
launch() {
    local entry=$1 program=$2 folder=$3 as=() wait=${5:-} pid=
    [ -z "${4:-}" ] || as=(runuser -u "$4" -- env XDG_RUNTIME_DIR="$work/runtime-$4")
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

listing() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'); }

# The program folder holds what the build installs and the record, nothing else.
script install-built "$build" "$folder" >/dev/null
cp -r "$stage" "$work/expected"
touch "$work/expected/.orvane-tarnel.install"
[ "$(listing "$folder")" = "$(listing "$work/expected")" ] || fail "the program folder holds: $(listing "$folder")"
for file in tarnel kelvane tarnelclick.wav tarnelover.wav; do
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
# The print module earlier versions installed goes too, while unchanged.
printf 'an earlier print module\n' >"$folder/libtarnelprint.so"
sed -i '/ libtarnelprint\.so$/d' "$folder/.orvane-tarnel.install"
echo "file $(sha256sum <"$folder/libtarnelprint.so" | cut -d' ' -f1) libtarnelprint.so" >>"$folder/.orvane-tarnel.install"
script uninstall "$folder" >"$work/uninstall.log"
for file in $(ls -A "$stage") libtarnelprint.so .orvane-tarnel.install; do
    [ "$file" = tarnelover.wav ] || [ ! -e "$folder/$file" ] || fail "uninstall left $file"
done
grep -q '^Kept tarnelover.wav: changed' "$work/uninstall.log" && [ -f "$folder/tarnelover.wav" ] ||
    fail "uninstall removed or did not name a changed program file"
(cd "$folder" && sha256sum --quiet -c "$work/data.sum") || fail "uninstall changed the user's data"
grep -q "^Kept your data in $folder: " "$work/uninstall.log" || fail "uninstall did not say what it kept"
for program in tarnel kelvane; do
    [ -f "$applications/orvane-$program.desktop" ] && [ -f "$icons/orvane-$program.svg" ] ||
        fail "uninstall of the earlier folder removed the $program entry or icon"
done
rm -rf "$new/My Tarnel"

# A third folder, moved by hand after its install: uninstall through the menu
# removes the entries, says that no program file was there, and where they are.
third="$work/third/Orvane"
moved="$HOME/Программы/Orvane Tarnel"
script install-built "$build" "$third" >/dev/null
mkdir "$HOME/Программы"
mv "$third" "$moved"
script uninstall >"$work/moved.log"
! grep -q '^Removed Orvane Tarnel' "$work/moved.log" &&
    grep -qxF "Not found in $third, so not removed: tarnel kelvane tarnelclick.wav tarnelover.wav" "$work/moved.log" &&
    grep -qxF "    bash scripts/tarnel.sh uninstall '$moved'" "$work/moved.log" ||
    fail "uninstall of a moved folder did not say what it found where: $(cat "$work/moved.log")"
[ ! -e "$applications/orvane-tarnel.desktop" ] && cmp -s "$build/bin/tarnel" "$moved/tarnel" ||
    fail "uninstall of a moved folder kept its menu entry or touched the moved files"
script uninstall "$moved" >/dev/null
rmdir "$moved" "$HOME/Программы" || fail "uninstall of the moved folder left $(ls -A "$moved")"

# Uninstall takes away what install made, after the menu's installation went
# first too, and looks for nothing where nothing can be: no empty folder, no
# menu cache.
script uninstall "$new" >/dev/null 2>"$work/uninstall.err" || fail "uninstall of $new failed: $(cat "$work/uninstall.err")"
[ ! -s "$work/uninstall.err" ] || fail "uninstall of $new complained: $(cat "$work/uninstall.err")"
[ ! -e "$work/new place" ] && [ ! -e "$work/third" ] || fail "uninstall left $(find "$work/new place" "$work/third")"
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
# What a user owns at the top of the shared temporary folders: Qt makes a
# runtime folder there for a program started without one.
tmp_of() { find /tmp /var/tmp /dev/shm -xdev -mindepth 1 -maxdepth 1 -user "$1" 2>/dev/null | LC_ALL=C sort || true; }
add_user() {
    useradd -M -d "$work/$1" -s /usr/sbin/nologin "$1"
    users+=("$1")
    mkdir -m 700 "$work/$1" "$work/runtime-$1"
    chown "$1:" "$work/$1" "$work/runtime-$1"
    # A new account may have the id of a deleted one, whose files it inherits.
    tmp_of "$1" >"$work/tmp-$1"
}
# A clone of a project standing in for the suite: its build copies the
# programs staged for this test, so an install through the script takes seconds.
clone() {
    local clone="$work/$1/clone" file files=
    for file in "$stage"/*; do
        case "${file##*/}" in tarnel | kelvane) ;; *) files+=" \"$file\"" ;; esac
    done
    mkdir -p "$clone/scripts" "$clone/desktop"
    cp "$top/scripts/tarnel.sh" "$clone/scripts/"
    cp -r "$top/desktop/icons" "$clone/desktop/"
    cp "$top/CMakePresets.json" "$clone/"
    cat >"$clone/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(Stand LANGUAGES NONE)
foreach(program tarnel kelvane)
    add_custom_target(\${program} COMMAND "\${CMAKE_COMMAND}" -E copy "$stage/\${program}" "\${CMAKE_BINARY_DIR}/bin/\${program}")
    install(PROGRAMS "\${CMAKE_BINARY_DIR}/bin/\${program}" DESTINATION .)
endforeach()
install(FILES$files DESTINATION .)
CMAKE
    chown -R "$1:" "$clone"
}
root_files() { find "$work/$1" -uid 0 -print -quit; }
# The caller's build may be in a folder only its owner can enter. Where a
# mount namespace can be had, what the throwaway users do runs with the built
# programs hidden, so needing them fails on every machine.
without_build() {
    if unshare -m --propagation private true 2>/dev/null; then
        unshare -m --propagation private sh -c 'mount -t tmpfs hidden "$0" && exec "$@"' "$build/bin" "$@"
    else
        "$@"
    fi
}
# Debian's package tools, stood in for: which packages are missing is up to
# the test, and installing them notes the call and takes them off the list.
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
# Reports the packages named in the file "absent" beside it as not installed.
for package; do :; done
grep -qxF "$package" "$(dirname "$0")/absent" || printf 'install ok installed'
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "$*" >>"$(dirname "$0")/apt.log"
[ "$1" = update ] || : >"$(dirname "$0")/absent"
FAKE
chmod 755 "$work/bin" "$work/bin/dpkg-query" "$work/bin/apt-get"
: >"$work/bin/absent"

# Through sudo, only the packages are root's business: the user's clone, build
# and installation stay theirs, and their own next install works. A folder an
# earlier run as root left in the build is given back. With nothing missing,
# root installed nothing and says so.
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
    (cd "$work/$a/clone" && without_build timeout 120 runuser -u "$a" -- sudo -n env PATH="$work/bin:$PATH" bash scripts/tarnel.sh install) \
        </dev/null >"$work/sudo.log" 2>&1 || fail "the install through sudo failed: $(cat "$work/sudo.log")"
    grep -qxF "No Debian package was missing; going on as $a." "$work/sudo.log" && [ ! -e "$work/bin/apt.log" ] ||
        fail "the install through sudo did not say that no package was missing: $(cat "$work/sudo.log")"
    [ -z "$(root_files "$a")" ] || fail "the install through sudo left root's files with $a: $(root_files "$a")"
    [ -f "$work/$a/.local/opt/orvane-tarnel/tarnel" ] || fail "the install through sudo was not for $a"
    (cd "$work/$a/clone" && without_build timeout 120 runuser -u "$a" -- bash scripts/tarnel.sh install) \
        </dev/null >"$work/own.log" 2>&1 || fail "$a's own install after sudo failed: $(cat "$work/own.log")"
fi

# Root with another user's home installs the missing packages, says so, and
# installs for that user, whose tarnel can then write its folder; into that
# user's files with root's own home, it refuses.
b="tarnel$$b"
add_user "$b"
clone "$b"
echo cmake >"$work/bin/absent"
(cd "$work/$b/clone" && HOME="$work/$b" PATH="$work/bin:$PATH" without_build timeout 120 bash scripts/tarnel.sh install) \
    </dev/null >"$work/root.log" 2>&1 || fail "root's install with $b's home failed: $(cat "$work/root.log")"
grep -qxF "Installed the missing Debian packages as root; going on as $b." "$work/root.log" &&
    grep -qx 'install .* cmake' "$work/bin/apt.log" || fail "root's install did not say it installed cmake: $(cat "$work/root.log")"
[ -z "$(root_files "$b")" ] || fail "root's install left root's files in $b's home: $(root_files "$b")"
installed="$work/$b/.local/opt/orvane-tarnel"
launch "$work/$b/.local/share/applications/orvane-tarnel.desktop" tarnel "$installed" "$b" "$installed/My Tarnel"
! script install-built "$build" "$work/$b/elsewhere" >"$work/root.log" 2>&1 && [ ! -e "$work/$b/elsewhere" ] ||
    fail "root installed into $b's files: $(cat "$work/root.log")"

# A user who may not use sudo is told what an administrator must install, at
# once and without a password prompt, and the folder name is checked before
# anything else; packages only the tests want do not stop an install.
# As b, at a terminal as a person would be (whose typing here is at its end).
as_b() {
    local command
    command=$(printf '%q ' env PATH="$work/bin:$PATH" bash scripts/tarnel.sh "$@")
    (cd "$work/$b/clone" && without_build timeout 60 runuser -u "$b" -- script -qec "$command" /dev/null) </dev/null |
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

# The programs the throwaway users started left nothing in the shared
# temporary folders, where it would outlive its owner's account.
for user in "${users[@]}"; do
    left=$(tmp_of "$user" | LC_ALL=C comm -13 "$work/tmp-$user" -)
    [ -z "$left" ] || fail "$user left $left"
done
echo "PASS"
