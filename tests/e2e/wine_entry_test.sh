#!/usr/bin/env bash
# Drives the real wordpour.exe under Wine with real keystrokes, against the
# stand-in Excel server, and checks the cells the server recorded, the List
# bytes on disk and the windows' titles.
# Usage: wine_entry_test.sh WORDPOUR_EXE FAKE_EXCEL_SERVER_EXE (inside xvfb-run)
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
source "$(dirname "$0")/japanese_keymap.sh"
exe=$1
server_exe=$2
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64 || command -v wine)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# Japanese menus need a Japanese locale; build one without root.
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null || true
export LOCPATH="$work/locale" LANG=ja_JP.UTF-8

wm="" server="" program=""
cleanup() {
    for pid in $program $server $wm; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
at_exit cleanup
e2e_screenshot="$work/../wordpour-wine-failure.png"
cells() { grep '^cell ' "$work/excel.log" | tr -d '\r' | tr '\n' ' '; }
settle() { sleep "${1:-1}"; }

japanese_keymap "東京りんご" "$work" || fail "could not load a keymap for the Japanese words"
openbox >/dev/null 2>&1 &
wm=$!
"$wine" reg add 'HKCR\Excel.Application\CLSID' /ve /d '{00024500-0000-0000-C000-000000000046}' /f \
    >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f \
    >/dev/null 2>&1
mkdir -p "$work/在庫 表"
echo stand-in >"$work/在庫 表/book.xls"

# What a person left in the workbook: E2 and E5 hold words.
printf 'E2 昨日\nE5 おととい\n' >"$work/excel.log.cells"

cd "$work"
(exec "$wine" "$server_exe" "Z:${work//\//\\}\\excel.log") >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 150); do grep -q ready excel.log 2>/dev/null && break; sleep 0.2; done
grep -q ready excel.log || fail "the stand-in Excel did not start"

# Started in a folder whose name holds Japanese characters and a space: the
# file dialog opens there, so the path chosen holds them too.
cd "$work/在庫 表"
(exec "$wine" "$exe") >/dev/null 2>&1 &
program=$!
dialog=$(window "開く") || fail "no file dialog"
xdotool windowactivate --sync "$dialog" 2>/dev/null || true
settle 0.5
open_in_file_dialog "$dialog" "book.xls" || fail "the file dialog did not take the workbook's name"
# 表示 → 常に手前に表示 by its access keys: the window manager keeps the
# window above (WS_EX_TOPMOST); again, and it no longer does.
always_on_top() {
for expected in above not-above; do
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    settle 0.5
    xdotool key alt+v
    settle 0.5
    xdotool key t
    settle
    state=$(xprop -id "$main" _NET_WM_STATE)
    case "$expected:$state" in
        above:*_NET_WM_STATE_ABOVE*) ;;
        not-above:*_NET_WM_STATE_ABOVE*) fail "still kept above: $state" ;;
        above:*) fail "常に手前に表示 did not keep the window above${1:-}: $state" ;;
    esac
    # The cell-position dialog opened then is kept above with it.
    if [ "$expected" = above ] && [ -n "${1:-}" ]; then
        xdotool key ctrl+p
        position=$(window "^セル位置$") || fail "no cell-position dialog${1}"
        settle
        case "$(xprop -id "$position" _NET_WM_STATE)" in
            *_NET_WM_STATE_ABOVE*) ;;
            *) fail "the cell-position dialog is not kept above${1}" ;;
        esac
    fi
done
}

# Ctrl+P, NAME typed over the selected cell name, 指定 (Tab, Space), and
# the keyboard back to the main window.
cell_position() {
    xdotool key ctrl+p
    window "^セル位置$" >/dev/null || fail "Ctrl+P showed no cell-position dialog"
    settle
    xdotool type --delay 80 "$1"
    xdotool key Tab space
    settle
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    settle
}

main=$(window "^ワードポア！$") || fail "the main window did not appear"
[ "$(xdotool getwindowname "$main")" = "ワードポア！" ] || fail "main title"
settle
# From a fresh start, before any other window was open.
always_on_top " from a fresh start"

xdotool type --delay 80 "東京"
xdotool key Tab Tab Tab Tab Return      # Tab to 入力: A2
settle 1.5
xdotool key Return                      # Enter on 入力 after an entry: A3
settle 1.5
[ "$(cells)" = "cell A2='東京 cell A3='東京 " ] || fail "cells after two entries: $(cells)"

cell_position B5
xdotool key Return                      # into B6
settle 1.5
cells | grep -q "cell B6='東京" || fail "no entry into B6: $(cells)"

# Excel busy (a cell being edited) for 20 calls: the entry waits it out and
# the word lands once.
echo "ignore 20" >"$work/excel.log.busy"
xdotool key Return                      # into B7
for _ in $(seq 1 100); do cells | grep -q "cell B7=" && break; sleep 0.1; done
[ "$(grep -c '^busy ignore' "$work/excel.log")" = 20 ] || fail "Excel was not busy 20 times"
[ "$(cells | grep -o "cell B7='東京" | wc -l)" = 1 ] || fail "after a busy Excel: $(cells)"

# Ctrl+Z takes B7 back: the cell is emptied again, as it was, and the next
# entry goes into B7 once more.
xdotool key ctrl+z
for _ in $(seq 1 50); do [ "$(cells | grep -o "cell B7=" | wc -l)" = 2 ] && break; sleep 0.1; done
[ "$(cells | grep -o "cell B7=[^ ]*" | tail -1)" = "cell B7=" ] || fail "Ctrl+Z did not empty B7: $(cells)"
xdotool key Return
settle 1.5
[ "$(cells | grep -o "cell B7=[^ ]*" | tail -1)" = "cell B7='東京" ] || fail "no entry into B7 again: $(cells)"

grep -q 'Open .*value=Z:.*\\在庫 表\\book.xls' "$work/excel.log" ||
    fail "the workbook's path did not reach Excel whole: $(grep Open "$work/excel.log")"

# A wrong name: its message, nothing written, the program goes on.
cell_position a1
before=$(cells)
xdotool key Return
window "^セル名の異常$" >/dev/null || fail "a wrong name gave no message"
settle 0.5
xdotool key Return
settle
[ "$(cells)" = "$before" ] || fail "a wrong name wrote: $(cells)"

# Ctrl+A in the word box adds a word; Ctrl+S, Yes saves it; Ctrl+O, Yes
# appends the saved list, so a second save holds it twice.
xdotool key ctrl+a
window "^ﾘｽﾄに追加$" >/dev/null || fail "Ctrl+A showed no add box"
settle 0.5
xdotool type --delay 80 "りんご"
xdotool key Return
settle
xdotool key ctrl+s
window "^ﾘｽﾄの保存$" >/dev/null || fail "Ctrl+S asked nothing"
settle 0.5
xdotool key Return                      # Yes, the default button
settle
printf '\x82\xe8\x82\xf1\x82\xb2\r\n' | cmp -s - List || fail "List holds $(od -c List | head -2)"
xdotool key ctrl+o
window "^ﾘｽﾄを開く$" >/dev/null || fail "Ctrl+O asked nothing"
settle 0.5
xdotool key Return
settle
xdotool key ctrl+s
window "^ﾘｽﾄの保存$" >/dev/null || fail "the second Ctrl+S asked nothing"
settle 0.5
xdotool key Return
settle
printf '\x82\xe8\x82\xf1\x82\xb2\r\n\x82\xe8\x82\xf1\x82\xb2\r\n' | cmp -s - List || fail "after a load List holds $(od -c List | head -2)"

# Type to find: "りん", typed on 入力, begins a new word in the word box and
# lists both entries; Down, Enter enters the second at once, into C2. Then
# romaji finds りんご by its reading; Enter writes it into C3.
cell_position C1
xdotool type --delay 150 "りん"          # on 入力: a new word in the word box
settle
xdotool key Down Return
settle 1.5
cells | grep -q "cell C2='りんご" || fail "type to find did not enter りんご: $(cells)"
xdotool type --delay 150 "ringo"
settle
xdotool key Return
settle 1.5
cells | grep -q "cell C3='りんご" || fail "romaji on 入力 did not enter りんご: $(cells)"
# The order a person uses: a word found, then 常に手前に表示, then the
# cell-position dialog: the main window and the dialog are kept above.
always_on_top " after type to find"

# E2 holds what this run did not write: 入力 asks, and Enter takes いいえ,
# the default: nothing is written. 列の最後へ移動 (Ctrl+E) goes to E5, the
# column's last filled cell, and 入力 writes E6.
cell_position E1
xdotool key Return
window "^上書きの確認$" >/dev/null || fail "入力 into E2 asked nothing"
settle 0.5
xdotool key Return
settle
cells | grep -q "cell E2=" && fail "いいえ wrote into E2: $(cells)"
xdotool key ctrl+e
settle
xdotool key Return
settle 1.5
cells | grep -q "cell E6='りんご" || fail "Ctrl+E then 入力 did not write E6: $(cells)"

# 編集 → 同時に書く列の設定 by its access keys: 日時, then a fixed text,
# beside the word. Ten words go into G2:I11, a row each in one call; Ctrl+Z
# takes the last row back whole (a question would have left it as it was).
cell_position G1
xdotool key alt+e
settle 0.5
xdotool key c
companions=$(window "^同時に書く列の設定$") || fail "同時に書く列の設定 showed no dialog"
xdotool windowactivate --sync "$companions" 2>/dev/null || true
settle 0.5
xdotool key Down Tab Down Down Down Down Down Tab   # 日時; 固定の文字, its text box
xdotool type --delay 80 "Lot7"
xdotool key Return
settle
for row in $(seq 2 11); do
    xdotool key Return
    for _ in $(seq 1 50); do grep -q "^row G$row:I$row=" "$work/excel.log" && break; sleep 0.1; done
    grep -q "^row G$row:I$row='りんご|date [0-9.]*|'Lot7" "$work/excel.log" ||
        fail "no row G$row:I$row: $(grep '^row ' "$work/excel.log")"
    grep -q "^format H$row=m/d/yyyy h:mm" "$work/excel.log" || fail "H$row was given no date format"
    settle 0.5                          # a press before the answer is ignored
done
xdotool key ctrl+z
for _ in $(seq 1 50); do cells | grep -q "cell I11=" && break; sleep 0.1; done
for cell in G11 H11 I11; do
    [ "$(cells | grep -o "cell $cell=[^ ]*" | tail -1)" = "cell $cell=" ] || fail "Ctrl+Z left $cell: $(cells)"
done

# 表示 → 入力の記録 by its access keys: this workbook's entries, and Enter
# (はい) asks where to save them; the CSV file begins with the byte-order
# mark and holds the words written, and the rows with their columns.
xdotool windowactivate --sync "$main" 2>/dev/null || true
settle 0.5
xdotool key alt+v
settle 0.5
xdotool key j
window "^入力の記録$" >/dev/null || fail "入力の記録 showed no list"
settle 0.5
xdotool key Return
saving=$(window "保存") || fail "入力の記録 asked for no file"
xdotool windowactivate --sync "$saving" 2>/dev/null || true
settle 0.5
xdotool type --delay 60 "record.csv"
xdotool key Return
for _ in $(seq 1 50); do [ -s record.csv ] && break; sleep 0.1; done
[ "$(head -c 3 record.csv | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "the CSV has no byte-order mark"
grep -q "E6,りんご,,,入力" record.csv || fail "the CSV lacks E6: $(cat record.csv)"
grep -Eq "G11,りんご,2[0-9-]+ [0-9:]+,Lot7,元に戻す" record.csv || fail "the CSV lacks G11's row: $(cat record.csv)"

xdotool key ctrl+l                      # the list, by its title
window "^現在のリスト項目$" >/dev/null || fail "Ctrl+L showed no list"
settle 0.5
xdotool key Return
settle
xdotool key F1                          # one about box
window "^バージョン情報$" >/dev/null || fail "F1 showed no about box"
xdotool key F1
settle
[ "$(xdotool search --onlyvisible --name '^バージョン情報$' | wc -l)" = 1 ] || fail "two about boxes"

always_on_top

xdotool windowactivate --sync "$main" 2>/dev/null || true
settle
xdotool key ctrl+q                      # Quit: at once, no question
for _ in $(seq 1 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill -0 "$program" 2>/dev/null && fail "Ctrl+Q did not end the program"
wait "$program" || fail "the program ended with status $?"
program=""
echo "1 passed, 0 failed"
