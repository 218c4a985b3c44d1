#!/usr/bin/env bash
# The keyboard stays with Wordpour when its first entry shows a workbook
# that opened hidden: in a window manager (openbox), with an office that
# shows no window (--nodefault), the first entry makes the workbook's window
# appear; Wordpour's window must be the active one again, and a word typed
# next must land in the word box, not in the sheet.
# Usage: focus_after_entry_test.sh SOURCE_DIR WORDPOUR_BINARY (inside xvfb-run)
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
src=$1
wordpour=$2
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")

work=$(mktemp -d)
# The settings of the test's own: the overwrite question on, as by default.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export WORDPOUR_PIPE="wordpour-focus-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile"
e2e_screenshot="$work/../wordpour-focus-failure.png"
program="" wm="" office_pid=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    end_office
    rm -rf "$work"
}
at_exit cleanup

openbox >/dev/null 2>&1 &
wm=$!
book="$work/book.xls"
start_office_with_book "$book" --nodefault || fail "the test could not make its workbook"

cd "$work"
"$wordpour" &
program=$!
dialog=$(window "^開く") || fail "no file dialog"
open_in_file_dialog "$dialog" "$book" || fail "the file dialog did not take the workbook's name"
main=$(window "^ワードポア！") || fail "the main window did not appear"
xdotool windowfocus "$main"
sleep 0.3
xdotool type --delay 40 "first"
xdotool key Tab Tab Tab Tab Return     # 入力: A2, and the hidden workbook shows
window "book.xls - LibreOffice Calc" >/dev/null || fail "the first entry did not show the workbook"
sleep 3
active=$(xdotool getactivewindow)
[ "$active" = "$main" ] || fail "the active window is '$(xdotool getwindowname "$active")', not Wordpour's"
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab   # from 入力 back to the word box
xdotool type --delay 40 "second"
xdotool key Tab Tab Tab Tab Return     # A3
sleep 1
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" A1 A2 A3 | tr '\n' '|') || fail "the test could not read the office"
[ "$cells" = "|first|second|" ] || fail "cells A1 A2 A3 hold '$cells', not '|first|second|'"
echo "the keyboard stays with Wordpour after its first entry shows the workbook"
