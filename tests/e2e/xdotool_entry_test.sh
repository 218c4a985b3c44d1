#!/usr/bin/env bash
# Drives the real program on a virtual screen, in a window manager, with
# real keystrokes, and checks each window's title as the window manager
# shows it. Calc is opened as a person opens it from the desktop menu,
# visible, with a profile of its own and no --accept: Wordpour asks it to
# listen on its pipe. The test's own hands (making the workbook, reading the
# cells back) reach the office through a pipe of the test's. Usage: xdotool_entry_test.sh SOURCE_DIR WORDPOUR_BINARY
# (run inside xvfb-run).
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
source "$(dirname "$0")/japanese_keymap.sh"
src=$1
wordpour=$2
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")

work=$(mktemp -d)
# The settings of the test's own: the overwrite question on, as by default.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export WORDPOUR_PIPE="wordpour-xdotool-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile"
hands="$WORDPOUR_PIPE-hands"
program="" wm="" office_pid=""
office() {  # signals the office's whole process group (setsid made it one)
    [ -n "$office_pid" ] && kill "$1" -- "-$office_pid" 2>/dev/null || true
}
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    office -CONT
    timeout 20 "${helper[@]}" "$hands" quit 2>/dev/null || true
    sleep 1
    office -KILL
    rm -rf "$work"
}
at_exit cleanup
e2e_screenshot="$work/../wordpour-xdotool-failure.png"

# Gives the window the keyboard and waits until it has kept it a moment: on
# a busy machine the window manager may hand the focus on late (to Calc,
# after a dialog closed), and keys pressed then go to the spreadsheet.
focus() {
    local held=0
    for _ in $(seq 1 50); do
        if [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; then
            held=$((held + 1))
            [ "$held" -ge 2 ] && return 0
        else
            held=0
            xdotool windowactivate "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
        fi
        sleep 0.2
    done
    fail "window $1 did not keep the keyboard"
}
# The title the window manager shows (_NET_WM_NAME), exactly.
titled() {
    local name
    name=$(xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    [ "$name" = "$2" ] || fail "a window is titled '$name', not '$2'"
}
# Waits until the window ID (titled TITLE) is shown no more: a window left
# open (a message over a dialog) would take the keys meant for the next step.
closed() {
    for _ in $(seq 1 50); do
        xdotool search --onlyvisible --name "^$2" 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "$2 stayed open; the program shows: $(shown_windows)"
}
# The titles of the program's windows on the screen, for a failure's message.
shown_windows() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
        printf "'%s' " "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}
# Presses `keys` in the main window; the window titled `title` must come,
# and `answer` (keys) closes it.
dialog_titled() {
    local keys=$1 title=$2 answer=$3 id
    focus "$main"
    xdotool key $keys
    id=$(window "^$title") || fail "$keys showed no window titled $title"
    titled "$id" "$title"
    focus "$id"
    xdotool key $answer
    closed "$id" "$title"
}

# Ctrl+P in the main window, NAME typed over the selected cell name, and
# 指定 (Tab, Enter). The main window is given the keyboard first: after a
# message closed, the window manager may hand it to Calc late.
cell_position() {
    local id
    focus "$main"
    xdotool key ctrl+p
    id=$(window "^セル位置") || fail "Ctrl+P showed no cell-position dialog"
    titled "$id" "セル位置"
    focus "$id"
    xdotool type --delay 30 "$1"
    xdotool key Tab Return
    closed "$id" "セル位置"
}

japanese_keymap "在庫表" "$work" || fail "could not load a keymap for the Japanese typed"
openbox >/dev/null 2>&1 &
wm=$!

no_tip_of_the_day "$work/profile"
setsid soffice --calc --norestore "$WORDPOUR_OFFICE_ARGS" >/dev/null 2>&1 </dev/null &
office_pid=$!
window "^Untitled 1 - LibreOffice Calc" >/dev/null || fail "Calc did not open"
book="$work/在庫 表.xls"
# The test's hands: a pipe of the test's. An office that has only just
# begun to listen has been seen to fail (even crash) python-uno's first
# call, so the whole step is tried again a few times.
for _ in $(seq 1 5); do
    soffice "$WORDPOUR_OFFICE_ARGS" "--accept=pipe,name=$hands;urp;" || true
    for _ in $(seq 1 50); do "$src/scripts/office-listens" "$hands" && break; sleep 0.2; done
    "${helper[@]}" "$hands" make "$book" 2>/dev/null && break
    sleep 1
done
[ -f "$book" ] || fail "the test could not make its workbook"
"$src/scripts/office-listens" "$WORDPOUR_PIPE" && fail "the office listens on Wordpour's pipe already"

cd "$work"
"$wordpour" &
program=$!

dialog=$(window "^開く") || fail "no file dialog titled 開く"
open_in_file_dialog "$dialog" "$book" || fail "the file dialog did not take the workbook's name"

main=$(window "^ワードポア！") || fail "the main window did not appear"
titled "$main" "ワードポア！"
# Attached with nothing extra: the workbook took the empty spreadsheet's window.
frames=$("${helper[@]}" "$hands" frames) || fail "the test could not read the office"
[ "$frames" = "在庫 表.xls - LibreOffice Calc" ] || fail "the office shows '$frames', not the workbook alone"
focus "$main"
xdotool type --delay 30 "pour"
xdotool key Tab Tab Tab Tab Return      # Tab to 入力, Enter writes into A2
sleep 0.5
cell_position B5
focus "$main"
xdotool key Return                      # 入力 has the focus: writes into B6
sleep 0.5

cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" A2 B5 B6 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "pour  pour " ] || fail "cells A2 B5 B6 hold '$cells', not 'pour  pour '"

# Ctrl+Z in the word box takes the entries back, the latest first.
focus "$main"
xdotool key Tab Tab Tab Tab Tab          # from 入力 round to the word box
xdotool key ctrl+z
sleep 0.5
xdotool key ctrl+z
sleep 0.5
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" A2 B5 B6 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "   " ] || fail "after two Ctrl+Z A2 B5 B6 hold '$cells', not nothing"

# Every other window by its title: the add box (cancelled), the load and save
# questions (No), the list, the about box; and a wrong name's message.
dialog_titled ctrl+a "ﾘｽﾄに追加" Escape
dialog_titled ctrl+o "ﾘｽﾄを開く" n
dialog_titled ctrl+s "ﾘｽﾄの保存" n
dialog_titled ctrl+l "現在のリスト項目" Return
dialog_titled F1 "バージョン情報" Return
cell_position a1
dialog_titled Return "セル名の異常" Return  # 入力 has the focus: the wrong name's message
cell_position B6

# 表示 → 常に手前に表示 by its access keys: the window manager keeps the
# window above; again, and it no longer does. The menu's popup is waited
# for before its item's key, and the whole step is tried again when the
# state did not change: on a busy machine the window manager may hand the
# keyboard to Calc between the two keys.
on_top() {
    local expected=$1 before state="" popup
    for _ in 1 2 3 4 5; do  # the window manager now and then hands the keys elsewhere
        focus "$main"
        before=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)
        xdotool key alt+v
        popup=no
        for _ in $(seq 1 50); do
            if [ "$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)" -gt "$before" ]; then
                popup=yes
                break
            fi
            sleep 0.1
        done
        xdotool key t
        for _ in $(seq 1 50); do
            sleep 0.1
            state=$(xprop -id "$main" _NET_WM_STATE 2>/dev/null) || continue
            case "$expected:$state" in
                above:*_NET_WM_STATE_ABOVE*) return 0 ;;
                not-above:*_NET_WM_STATE_ABOVE*) ;;
                not-above:*) return 0 ;;
            esac
        done
        xdotool key Escape  # a menu left open
    done
    fail "常に手前に表示 did not make the window $expected: $state (the last menu shown: $popup;" \
        "the program shows: $(shown_windows))"
}
on_top above
on_top not-above

# A frozen office: the window keeps working, and the word lands once it thaws.
office -STOP
focus "$main"
xdotool key Return                      # 入力: into B7, unanswered for now
sleep 0.3
xdotool key ctrl+l                      # the list display still opens
shown=$(window "^現在のリスト項目$") || { office -CONT; fail "a frozen office froze the window"; }
focus "$shown"
xdotool key Return
sleep 0.3
office -CONT
sleep 1
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" B7 B8 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "pour  " ] || fail "after the thaw B7 B8 hold '$cells', not 'pour  '"

# Type to find: two words added, "PIE" typed lists both (case ignored), the
# one that begins with it first; Enter enters it at once, into B8.
for word in "apple pie" "pie chart"; do
    focus "$main"
    xdotool key ctrl+a
    id=$(window "^ﾘｽﾄに追加") || fail "Ctrl+A showed no add box"
    focus "$id"
    xdotool type --delay 30 "$word"
    xdotool key Return
    sleep 0.5
done
focus "$main"
xdotool key Tab Tab Tab Tab Tab          # from 入力 round to the word box
xdotool type --delay 80 "PIE"
sleep 0.5
xdotool key Return
sleep 0.5
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" B8 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "pie chart " ] || fail "type to find wrote '$cells' into B8, not 'pie chart'"

# What this run did not write is asked about: B9 holds a person's word, so
# 入力 asks, and No (the default) writes nothing. 列の最後へ移動 (Ctrl+E)
# then goes past B12, the column's last filled cell, and 入力 writes B13.
"${helper[@]}" "$WORDPOUR_PIPE" write "$book" B9 "昨日"
"${helper[@]}" "$WORDPOUR_PIPE" write "$book" B12 "おととい"
dialog_titled Return "上書きの確認" Return   # 入力 has the focus; Enter takes いいえ
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" B9 B10 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "昨日  " ] || fail "after いいえ B9 B10 hold '$cells', not '昨日  '"
focus "$main"
xdotool key ctrl+e
sleep 0.5
xdotool key Return                      # 入力, below the column's last filled cell
sleep 0.5
cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" B9 B12 B13 | tr '\n' ' ') || fail "the test could not read the office"
[ "$cells" = "昨日 おととい pie chart " ] || fail "after Ctrl+E B9 B12 B13 hold '$cells'"

# Romaji typed on 入力, with no input method, begins a new word and finds
# 東京都庁 by the reading the dictionary gave it; Enter writes it into B14.
# The word comes from a List loaded with リスト開く: xdotool now and then
# loses characters it types from a Japanese keymap.
printf '\x93\x8c\x8b\x9e\x93\x73\x92\xa1\r\n' >List   # 東京都庁 in code page 932
dialog_titled ctrl+o "ﾘｽﾄを開く" Return  # はい
focus "$main"
before=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)
xdotool type --delay 80 "toukyoutoc"    # 入力 has the focus
# The dictionary reads the new word on a thread of its own, and the box
# searches again at each key: the last letter is typed again until the
# find list shows the word.
for _ in $(seq 1 50); do
    sleep 0.2
    [ "$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)" -gt "$before" ] && break
    xdotool key BackSpace
    xdotool type c
done
xdotool key Return
for _ in $(seq 1 50); do                # a busy machine answers later
    cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" B14 | tr '\n' ' ') || true  # an office busy now may answer on the next try
    [ "$cells" = " " ] || break
    sleep 0.2
done
[ "$cells" = "東京都庁 " ] || fail "romaji on 入力 wrote '$cells' into B14, not 東京都庁"

# 編集 → 同時に書く列の設定 by its access keys: 日時, then a fixed text,
# beside the word. Ten words go into D2:F11, a row each; Ctrl+Z takes the
# last row back whole.
cell_position D1
focus "$main"
xdotool key alt+e
sleep 0.5
xdotool key c
id=$(window "^同時に書く列の設定") || fail "同時に書く列の設定 showed no dialog"
titled "$id" "同時に書く列の設定"
focus "$id"
xdotool key Down Tab Down Down Down Down Down Tab   # 日時; 固定の文字, its text box
xdotool type --delay 30 "Lot7"
xdotool key Return
sleep 0.5
for row in $(seq 2 11); do
    focus "$main"
    xdotool key Return
    for _ in $(seq 1 50); do
        cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" "D$row" "E$row" "F$row" | tr '\n' ' ') || true
        [ "$cells" = "   " ] || break
        sleep 0.2
    done
    [[ "$cells" =~ ^東京都庁\ 2[0-9]{3}-[0-9]{2}-[0-9]{2}\ [0-9:]{8}\ Lot7\ $ ]] ||
        fail "row $row holds '$cells', not the word, the time and Lot7"
done
focus "$main"
xdotool key ctrl+z
for _ in $(seq 1 50); do
    cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" D11 E11 F11 | tr '\n' ' ') || true
    [ "$cells" = "   " ] && break
    sleep 0.2
done
[ "$cells" = "   " ] || fail "Ctrl+Z left '$cells' in D11:F11"

# Frozen again, with an entry outstanding: Quit still ends the program at once.
office -STOP
focus "$main"
xdotool key Return
sleep 0.3
xdotool key ctrl+q                      # Quit: at once, no question
for _ in $(seq 1 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "Ctrl+Q did not end the program"
wait "$program" || fail "the program ended with status $?"
program=""
office -CONT
echo "1 passed, 0 failed"
