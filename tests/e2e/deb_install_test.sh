#!/usr/bin/env bash
# Installs the Debian package the way a user does (apt-get install ./…deb),
# checks what it put on the system, starts the installed /usr/bin/wordpour
# on a virtual screen with no office running, answers はい to its question,
# writes a word with real keys into the Calc it started and reads it back,
# quits with Ctrl+Q, then removes the package and checks that nothing of it
# is left.
# Usage: deb_install_test.sh SOURCE_DIR PACKAGE.deb   (as root, or with sudo)
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
src=$1
deb=$(realpath "$2")
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

work=$(mktemp -d)
export WORDPOUR_PIPE="wordpour-deb-$$"
export XDG_DATA_HOME="$work/data"  # the journal of entries
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile --norestore"
installed=""
cleanup() {
    # The office Wordpour started: asked to end, then ended by its process id.
    timeout 20 "${helper[@]}" "$WORDPOUR_PIPE" quit 2>/dev/null || true
    sleep 1
    for pid in $(pgrep -f -- "-env:UserInstallation=file://$work/" || true); do
        kill -KILL "$pid" 2>/dev/null || true
    done
    [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove --purge -y wordpour >/dev/null 2>&1 || true
    rm -rf "$work"
}
at_exit cleanup

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "$deb"
installed=yes
dpkg -s wordpour | grep -q "^Status: install ok installed" || fail "the package is not installed"
for file in /usr/bin/wordpour /usr/share/applications/wordpour.desktop \
    /usr/share/metainfo/org.wordpour.Wordpour.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/wordpour.svg \
    /usr/share/icons/hicolor/256x256/apps/wordpour.png /usr/share/doc/wordpour/README.md \
    /usr/share/doc/wordpour/copyright /usr/share/doc/wordpour/changelog.gz; do
    [ -f "$file" ] || fail "$file is missing"
done
desktop-file-validate /usr/share/applications/wordpour.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/org.wordpour.Wordpour.metainfo.xml >/dev/null ||
    fail "AppStream metadata"
[ "$(man -w wordpour)" = /usr/share/man/man1/wordpour.1.gz ] || fail "no English manual page"
LC_ALL=C.UTF-8 MANWIDTH=80 man -l /usr/share/man/ja/man1/wordpour.1.gz 2>/dev/null | grep -q "ワードポア！" ||
    fail "no Japanese manual page"

# A workbook made by a converting office of its own, which ends when done:
# then no office runs at all.
printf 'word\n' >"$work/sheet1.csv"  # the sheet takes the file's name
soffice --headless --norestore "-env:UserInstallation=file://$work/maker" \
    --convert-to xls --outdir "$work" "$work/sheet1.csv" >/dev/null 2>&1
book="$work/sheet1.xls"
[ -f "$book" ] || fail "could not make the workbook"
[ -z "$(pgrep -f -- "-env:UserInstallation=file://$work/" || true)" ] || fail "an office still runs"
no_tip_of_the_day "$work/profile"

cat >"$work/drive.sh" <<DRIVE
set -euo pipefail
source "$src/tests/e2e/helpers.sh"
cd "$work"
QT_QPA_PLATFORM=xcb /usr/bin/wordpour &
program=\$!
dialog=\$(window "^開く") || { kill \$program; echo "no file dialog"; exit 1; }
open_in_file_dialog "\$dialog" "$book" || { kill \$program; echo "the file dialog did not take the workbook"; exit 1; }
# No office runs: the question, はい the default.
question=\$(window "^ワードポア！") || { kill \$program; echo "no question"; exit 1; }
xdotool windowfocus "\$question"; sleep 0.3
xdotool key Return
for _ in \$(seq 1 300); do "$src/scripts/office-listens" "$WORDPOUR_PIPE" && break; sleep 0.3; done
# The workbook's window shows late and takes the keyboard: the word is typed
# only once it is there and Wordpour has the keyboard back.
window "^sheet1.xls - LibreOffice Calc" >/dev/null || { kill \$program; echo "no workbook window"; exit 1; }
sleep 1
main=\$(window "^ワードポア！") || { kill \$program; echo "no main window"; exit 1; }
focus_window "\$main" || { kill \$program; echo "Wordpour did not get the keyboard"; exit 1; }
xdotool type --delay 50 "installed"
xdotool key Tab Tab Tab Tab Return
sleep 1
# Read while the screen, and with it the office Wordpour started, is there.
/usr/bin/python3 "$src/tests/e2e/calc_helper.py" "$WORDPOUR_PIPE" read "$book" A2 >"$work/cell"
/usr/bin/python3 "$src/tests/e2e/calc_helper.py" "$WORDPOUR_PIPE" frames >"$work/frames"
xdotool key ctrl+q
ended_within \$program 20 || { kill \$program; echo "Ctrl+Q did not end Wordpour"; exit 1; }
timeout 20 /usr/bin/python3 "$src/tests/e2e/calc_helper.py" "$WORDPOUR_PIPE" quit || true
DRIVE
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/drive.sh" || fail "the installed program did not run its course"
cell=$(cat "$work/cell")
[ "$cell" = "installed" ] || fail "A2 holds '$cell', not 'installed'"
# The workbook took the Start Center's window: nothing else is open.
frames=$(cat "$work/frames")
[ "$frames" = "sheet1.xls - LibreOffice Calc" ] || fail "the office shows '$frames', not the workbook alone"

DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove --purge -y wordpour
installed=""
! dpkg -s wordpour >/dev/null 2>&1 || fail "the package is still installed"
for file in /usr/bin/wordpour /usr/share/applications/wordpour.desktop /usr/share/doc/wordpour; do
    [ ! -e "$file" ] || fail "$file is left after removal"
done
echo "the package installs, /usr/bin/wordpour writes a word, and it removes cleanly"
