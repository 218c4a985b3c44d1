#!/usr/bin/env bash
# What a screen reader finds: Wordpour runs with Qt's accessibility on, in a
# D-Bus session of its own with the AT-SPI bus, and a real office; each
# window is walked through AT-SPI (tests/e2e/atspi_check.py) while it is
# shown: every control that can take the focus has a name and a role, the
# word box is "単語", and the type-to-find list names its highlighted entry.
# Usage: accessibility_test.sh SOURCE_DIR WORDPOUR_BINARY (inside xvfb-run)
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
own_dbus_session "$@"
src=$1
wordpour=$2
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")
check=(/usr/bin/python3 "$src/tests/e2e/atspi_check.py")

work=$(mktemp -d)
export WORDPOUR_PIPE="wordpour-a11y-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_name="accessibility"
e2e_screenshot="$work/../wordpour-a11y-failure.png"
program="" wm="" office_pid="" bus=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
    end_office
    rm -rf "$work"
}
at_exit cleanup

# The accessibility bus first: Qt looks for it once, as the program starts.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
openbox >/dev/null 2>&1 &
wm=$!
book="$work/book.xls"
start_office_with_book "$book" --headless --nodefault || fail "the test could not make its workbook"

cd "$work"
"$wordpour" 2>/dev/null &
program=$!
dialog=$(window "^開く") || fail "no file dialog"
sleep 1
"${check[@]}" window "開く" || fail "the file dialog"
open_in_file_dialog "$dialog" "$book" || fail "the file dialog did not take the workbook's name"
main=$(window "^ワードポア！") || fail "the main window did not appear"
sleep 1

"${check[@]}" window "ワードポア！" "combo box=単語" "text=単語" "list=単語の一覧" \
    "push button=入力" "push button=リスト追加" "push button=リスト削除" "push button=リスト開く" \
    "push button=リスト保存" "push button=セル位置" "push button=リスト表示" \
    "push button=ファイル選択" "menu item=編集(E)" "popup menu=編集" \
    "menu item=列の最後へ移動(E)" "check box=上書きの前に確認(K)" "menu item=読みの変更(R)" >/dev/null ||
    fail "the main window"
# Whether the overwrite question is on, and the windows kept on top, can be heard.
"${check[@]}" checked "上書きの前に確認(K)" on || fail "上書きの前に確認"
"${check[@]}" checked "常に手前に表示(T)" off || fail "常に手前に表示"

# The input box, twice: two words for the type-to-find list.
for word in "apple pie" "pie chart"; do
    xdotool windowfocus "$main"
    sleep 0.3
    xdotool key ctrl+a
    window "^ﾘｽﾄに追加" >/dev/null || fail "Ctrl+A showed no input box"
    sleep 0.5
    "${check[@]}" window "ﾘｽﾄに追加" "text=ﾘｽﾄに追加する単語を入力してください。" >/dev/null ||
        fail "the input box"
    xdotool type --delay 40 "$word"
    xdotool key Return
    sleep 0.5
done

# Type to find: the list names what is highlighted, and so does the word box.
xdotool windowfocus "$main"
sleep 0.3
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab   # from 入力 back to the word box
xdotool type --delay 80 "pie"
sleep 0.5
"${check[@]}" highlighted "pie chart" >/dev/null || fail "the find list's first entry"
xdotool key Down
sleep 0.3
"${check[@]}" highlighted "apple pie" >/dev/null || fail "the find list after Down"
xdotool key Escape

xdotool key ctrl+p
window "^セル位置" >/dev/null || fail "Ctrl+P showed no cell-position dialog"
sleep 0.5
"${check[@]}" window "セル位置" "text=セル位置" "push button=指定" >/dev/null ||
    fail "the cell-position dialog"
xdotool key Escape
sleep 0.3

xdotool windowfocus "$main"
sleep 0.3
xdotool key alt+e
sleep 0.5
xdotool key c
window "^同時に書く列の設定" >/dev/null || fail "Alt+E, C showed no dialog of the columns"
sleep 0.5
"${check[@]}" window "同時に書く列の設定" "list=1列右の内容" "text=1列右の固定の文字" \
    "list=4列右の内容" "text=4列右の固定の文字" "text=次の連番" "push button=OK" \
    "push button=ｷｬﾝｾﾙ" >/dev/null || fail "the dialog of the columns written with each word"
xdotool key Escape
sleep 0.3
# Whether this workbook has columns set can be heard: the item is checkable.
"${check[@]}" checked "同時に書く列の設定(C)" off || fail "同時に書く列の設定"

xdotool windowfocus "$main"
sleep 0.3
xdotool key ctrl+l
window "^現在のリスト項目" >/dev/null || fail "Ctrl+L showed no list"
sleep 0.5
"${check[@]}" window "現在のリスト項目" >/dev/null || fail "the message box"
xdotool key Return
sleep 0.3

xdotool windowfocus "$main"
sleep 0.3
xdotool key F1
window "^バージョン情報" >/dev/null || fail "F1 showed no about box"
sleep 0.5
"${check[@]}" window "バージョン情報" "push button=OK" >/dev/null || fail "the about box"
echo "every control a person can reach has a name and a role"
