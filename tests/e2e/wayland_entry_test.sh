#!/usr/bin/env bash
# Wordpour on a Wayland desktop: a headless Weston with XWayland, as
# GNOME's Wayland session has. Started with nothing but the session's
# WAYLAND_DISPLAY and DISPLAY, Wordpour runs through XWayland; started with
# QT_QPA_PLATFORM=wayland, natively, and then it says once what it cannot
# do there. Either way it links to a real Calc, writes a word and quits.
# A headless compositor has no keyboard: the test works the windows as a
# screen reader's user would, through AT-SPI.
# Usage: wayland_entry_test.sh SOURCE_DIR WORDPOUR_BINARY
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
own_dbus_session "$@"
src=$1
wordpour=$2
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")
atspi=(/usr/bin/python3 "$src/tests/e2e/atspi_check.py")

work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WORDPOUR_PIPE="wordpour-wayland-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_name=wayland
program="" compositor="" office_pid="" bus=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    end_office
    [ -n "$compositor" ] && kill "$compositor" 2>/dev/null || true
    [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
    rm -rf "$work"
}
at_exit cleanup

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
book="$work/book.xls"
start_office_with_book "$book" --headless || fail "the test could not make its workbook"

# The session: a Wayland compositor, and its X server for X programs.
unset QT_QPA_PLATFORM DISPLAY
socket="wordpour-$$"
weston --backend=headless-backend.so --xwayland --socket="$socket" --idle-time=0 \
    --width=1024 --height=768 --log="$work/weston.log" >/dev/null 2>&1 &
compositor=$!
for _ in $(seq 1 100); do grep -q 'xserver listening on display' "$work/weston.log" 2>/dev/null && break; sleep 0.1; done
display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -1)
[ -n "$display" ] || fail "Weston started no XWayland: $(cat "$work/weston.log")"
export WAYLAND_DISPLAY="$socket" DISPLAY="$display"

# One run: the workbook BOOK chosen, WORD written into A2, quit.
run() {
    local word=$1 book=$2 cells
    "$wordpour" 2>"$work/wordpour.err" &
    program=$!
    if [ "${QT_QPA_PLATFORM:-}" = wayland ]; then
        "${atspi[@]}" press "ワードポア！" OK >/dev/null || fail "no notice natively on Wayland"
    fi
    "${atspi[@]}" fill "開く" "" "$book" >/dev/null || fail "no file dialog: $(cat "$work/wordpour.err")"
    "${atspi[@]}" press "開く" "開く(O)" >/dev/null || fail "the file dialog has no 開く: $("${atspi[@]}" window "開く" 2>&1 | grep -o "push button=[^ ]*" | tr "\n" " ")"
    if [ -z "${QT_QPA_PLATFORM:-}" ]; then
        # Through XWayland: the main window is an X window.
        window "^ワードポア！$" >/dev/null || fail "the main window is no X window"
    fi
    "${atspi[@]}" fill "ワードポア！" "単語" "$word" >/dev/null || fail "no word box"
    "${atspi[@]}" press "ワードポア！" "入力" >/dev/null || fail "no 入力"
    for _ in $(seq 1 50); do
        cells=$("${helper[@]}" "$WORDPOUR_PIPE" read "$book" A2 | tr -d '\n') || true  # an office busy now may answer on the next try
        [ "$cells" = "$word" ] && break
        sleep 0.2
    done
    [ "$cells" = "$word" ] || fail "A2 holds '$cells', not '$word'"
    "${atspi[@]}" press "ワードポア！" "終了(Q)" >/dev/null || fail "no 終了"
    for _ in $(seq 1 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    wait "$program" || fail "Wordpour ended with status $?"
    program=""
}

run xwayland "$book"
echo "wayland: through XWayland, a word written into the real Calc, and quit"
# Qt 6.4's own Wayland input method (text-input) dereferences the seat a
# headless compositor lacks; a desktop always has one. So natively the test
# names an input-method module of Qt's that needs none.
"${helper[@]}" "$WORDPOUR_PIPE" make "$work/native.xls" || fail "the test could not make its second workbook"
QT_QPA_PLATFORM=wayland QT_IM_MODULE=compose run native "$work/native.xls"
echo "wayland: natively, told once, a word written, and quit"
