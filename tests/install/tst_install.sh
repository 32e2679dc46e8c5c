#!/usr/bin/env bash
# tst_install.sh SOURCE BUILD: install, start, install again, uninstall.
set -euo pipefail
top=$1
build=$2

work=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

export HOME="$work/home"
mkdir -p "$HOME"
unset SUDO_USER
# Blanks and a percent sign: the desktop entry must quote and escape them.
folder="$work/Мои программы/Orvane 100%"
applications="$HOME/.local/share/applications"
icons="$HOME/.local/share/icons/hicolor/scalable/apps"
shipped="kelvane tarnel tarnelclick.wav tarnelover.wav"

listing() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'); }

bash "$top/scripts/tarnel.sh" install-built "$build" "$folder"
[ "$(listing "$folder")" = "$shipped" ] || fail "the program folder holds: $(listing "$folder")"
for program in tarnel kelvane; do
    cmp -s "$build/bin/$program" "$folder/$program" || fail "$program is not the built one"
    entry="$applications/orvane-$program.desktop"
    desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
    grep -qxF "Exec=\"${folder//%/%%}/$program\"" "$entry" || fail "$entry does not start $folder/$program"
    grep -qxF "Path=$folder" "$entry" || fail "$entry does not start in the program folder"
    grep -q '^Name\[ru\]=.' "$entry" && grep -q '^Comment\[ru\]=.' "$entry" || fail "$entry has no Russian name"
    [ -s "$icons/orvane-$program.svg" ] || fail "no icon for $program"
done

# Started from elsewhere, the installed program makes its personal folder in
# its own folder. It is stopped outright: no shut-down, so it writes nothing more.
(cd "$work" && exec "$folder/tarnel" >"$work/tarnel.log" 2>&1) &
pid=$!
for _ in $(seq 600); do
    [ -d "$folder/My Tarnel" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
[ -d "$folder/My Tarnel" ] || fail "the installed tarnel made no personal folder: $(cat "$work/tarnel.log")"
[ ! -e "$work/My Tarnel" ] || fail "the installed tarnel wrote into the current folder"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=

# The user's data, including a kept old list, survive an install over them.
data=(applist.tn phones.tn tarnel.ini applist.tn.bak "My Tarnel/письмо.txt")
printf '[general]\r\nmax=0\r\n' >"$folder/applist.tn"
printf 'Anna|111|\r\n\r\n' >"$folder/phones.tn"
printf '[Main]\r\nTab=2\r\n' >"$folder/tarnel.ini"
printf 'old list\r\n' >"$folder/applist.tn.bak"
printf 'text\r\n' >"$folder/My Tarnel/письмо.txt"
(cd "$folder" && sha256sum "${data[@]}") >"$work/data.sum"
printf 'an older program\n' >"$folder/tarnel"
bash "$top/scripts/tarnel.sh" install-built "$build" "$folder"
cmp -s "$build/bin/tarnel" "$folder/tarnel" || fail "a second install did not replace tarnel"
(cd "$folder" && sha256sum --quiet -c "$work/data.sum") || fail "a second install changed the user's data"

# Uninstall finds the folder through the desktop entry and keeps the data.
bash "$top/scripts/tarnel.sh" uninstall >"$work/uninstall.log"
for file in $shipped; do
    [ ! -e "$folder/$file" ] || fail "uninstall left $file"
done
for program in tarnel kelvane; do
    [ ! -e "$applications/orvane-$program.desktop" ] || fail "uninstall left the $program entry"
    [ ! -e "$icons/orvane-$program.svg" ] || fail "uninstall left the $program icon"
done
(cd "$folder" && sha256sum --quiet -c "$work/data.sum") || fail "uninstall changed the user's data"
grep -q "^Kept your data in $folder: " "$work/uninstall.log" || fail "uninstall did not say what it kept"
echo "PASS"
