#!/usr/bin/env bash
# Installs the Debian package the way a user does (apt-get install ./…deb),
# checks what it put on the system, starts the installed /usr/bin/wordpour
# on a virtual screen against an office opened without --accept, writes a
# word with real keys and reads it back, quits with Ctrl+Q, then removes
# the package and checks that nothing of it is left.
# Usage: deb_install_test.sh SOURCE_DIR PACKAGE.deb   (as root, or with sudo)
set -euo pipefail
src=$1
deb=$(realpath "$2")
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

work=$(mktemp -d)
export WORDPOUR_PIPE="wordpour-deb-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile"
hands="$WORDPOUR_PIPE-hands"
office_pid="" installed=""
cleanup() {
    timeout 20 "${helper[@]}" "$hands" quit 2>/dev/null || true
    sleep 1
    [ -n "$office_pid" ] && kill -KILL -- "-$office_pid" 2>/dev/null || true
    [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove --purge -y wordpour >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$deb"
installed=yes
dpkg -s wordpour | grep -q "^Status: install ok installed" || fail "the package is not installed"
for file in /usr/bin/wordpour /usr/share/applications/wordpour.desktop \
    /usr/share/metainfo/org.wordpour.Wordpour.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/wordpour.svg \
    /usr/share/icons/hicolor/256x256/apps/wordpour.png /usr/share/doc/wordpour/README.md; do
    [ -f "$file" ] || fail "$file is missing"
done
desktop-file-validate /usr/share/applications/wordpour.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/org.wordpour.Wordpour.metainfo.xml >/dev/null ||
    fail "AppStream metadata"
[ "$(man -w wordpour)" = /usr/share/man/man1/wordpour.1.gz ] || fail "no English manual page"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l /usr/share/man/ja/man1/wordpour.1.gz 2>/dev/null | grep -q "ワードポア！" ||
    fail "no Japanese manual page"

# An office as a person opens it: no --accept. The test's hands reach it
# through a pipe of the test's; Wordpour asks for its own.
setsid soffice --headless --invisible --norestore "$WORDPOUR_OFFICE_ARGS" >/dev/null 2>&1 </dev/null &
office_pid=$!
for _ in $(seq 1 100); do
    soffice "$WORDPOUR_OFFICE_ARGS" "--accept=pipe,name=$hands;urp;" >/dev/null 2>&1 || true
    "$src/scripts/office-listens" "$hands" && break
    sleep 0.5
done
book="$work/book.xls"
"${helper[@]}" "$hands" make "$book"

cat >"$work/drive.sh" <<DRIVE
set -euo pipefail
window() {
    for _ in \$(seq 1 300); do
        id=\$(xdotool search --onlyvisible --name "\$1" 2>/dev/null | head -1) || true
        [ -n "\$id" ] && { echo "\$id"; return 0; }
        sleep 0.1
    done
    return 1
}
cd "$work"
QT_QPA_PLATFORM=xcb /usr/bin/wordpour &
program=\$!
dialog=\$(window "^開く") || { kill \$program; echo "no file dialog"; exit 1; }
xdotool windowfocus "\$dialog"; sleep 0.3
xdotool type --delay 50 "$book"; xdotool key Return
main=\$(window "^ワードポア！") || { kill \$program; echo "no main window"; exit 1; }
xdotool windowfocus "\$main"; sleep 0.3
xdotool type --delay 50 "installed"
xdotool key Tab Tab Tab Tab Return
sleep 1
xdotool key ctrl+q
wait \$program
DRIVE
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/drive.sh" || fail "the installed program did not run its course"
cell=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" A2)
[ "$cell" = "installed" ] || fail "A2 holds '$cell', not 'installed'"

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove --purge -y wordpour
installed=""
! dpkg -s wordpour >/dev/null 2>&1 || fail "the package is still installed"
for file in /usr/bin/wordpour /usr/share/applications/wordpour.desktop /usr/share/doc/wordpour; do
    [ ! -e "$file" ] || fail "$file is left after removal"
done
echo "the package installs, /usr/bin/wordpour writes a word, and it removes cleanly"
