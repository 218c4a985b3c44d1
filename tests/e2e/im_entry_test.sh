#!/usr/bin/env bash
# Japanese typed through a real input method with the Mozc engine: ibus, or
# fcitx5 with its Qt 6 frontend, in a D-Bus session of the test's own, on a
# virtual screen. Keys "toukyou", Space (convert) and Enter (commit) go to
# the word box; 入力 must write 東京 into the workbook of a real office.
# Mozc's server refuses to run as root: im_entry_as_user.sh runs this as an
# ordinary user. Usage: im_entry_test.sh SOURCE_DIR WORDPOUR_BINARY ibus|fcitx5
# (inside xvfb-run and dbus-run-session).
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
src=$1
wordpour=$2
method=$3
helper=(/usr/bin/python3 "$src/tests/e2e/calc_helper.py")

work=$(mktemp -d)
export WORDPOUR_PIPE="wordpour-$method-$$"
export WORDPOUR_OFFICE_ARGS="-env:UserInstallation=file://$work/profile --headless --invisible --norestore"
export WORDPOUR_OFFICE_PIDFILE="$work/office.pid"
# The input method and Mozc keep their settings under HOME: a home of the test's own.
office_home=$HOME
export HOME="$work/home"
mkdir -p "$HOME/.config"  # Mozc makes its folder there, not the parents
program="" daemon=""
# Mozc's server leaves the session it was started in: the ones this test
# started are told from those that ran before by their process ids.
mozc_before=" $(pgrep -u "$(id -u)" -x mozc_server | tr '\n' ' ' || true) "
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ "$daemon" = ibus ] && ibus exit 2>/dev/null || true
    [ "$daemon" = fcitx5 ] && fcitx5-remote -e 2>/dev/null || true
    for pid in $(pgrep -u "$(id -u)" -x mozc_server); do
        [[ "$mozc_before" == *" $pid "* ]] || kill "$pid" 2>/dev/null || true
    done
    timeout 20 "${helper[@]}" "$WORDPOUR_PIPE" quit 2>/dev/null || true
    sleep 1
    [ -f "$WORDPOUR_OFFICE_PIDFILE" ] && kill -KILL -- "-$(cat "$WORDPOUR_OFFICE_PIDFILE")" 2>/dev/null || true
    rm -rf "$work"
}
at_exit cleanup
e2e_name=$method
e2e_screenshot="${TMPDIR:-/tmp}/wordpour-$method-failure-$(id -u).png"
retry() {  # runs the command until it succeeds, for up to 10 s
    for _ in $(seq 1 50); do "$@" && return 0; sleep 0.2; done
    return 1
}

case $method in
ibus)
    ibus-daemon --daemonize --replace --panel=disable --emoji-extension=disable \
        --config=/usr/libexec/ibus-memconf >"$work/ibus.log" 2>&1
    daemon=ibus
    # Answers once the daemon is on the bus: keys typed before would be lost.
    ready() { ibus list-engine >/dev/null 2>&1; }
    # Makes Mozc the engine of the focused input context.
    mozc() { ibus engine mozc-jp 2>/dev/null || true; [ "$(ibus engine 2>/dev/null)" = mozc-jp ]; }
    # Mozc starts in direct input: its key for hiragana.
    hiragana() { xdotool key Hiragana_Katakana; }
    export QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
    ;;
fcitx5)
    mkdir -p "$HOME/.config/fcitx5"
    cat >"$HOME/.config/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
PROFILE
    fcitx5 -d --disable=classicui,kimpanel,notificationitem,notifications,wayland,waylandim \
        >"$work/fcitx5.log" 2>&1
    daemon=fcitx5
    # Asked of the bus itself: fcitx5-remote would have D-Bus start a
    # second fcitx5, one without this test's home and its Mozc.
    ready() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null |
            grep -q 'boolean true'
    }
    # Activates the input method of the focused window: Mozc, the group's own.
    mozc() { fcitx5-remote -o 2>/dev/null || true; [ "$(fcitx5-remote -n 2>/dev/null)" = mozc ]; }
    hiragana() { :; }  # Mozc under fcitx5 starts in hiragana
    export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
    ;;
*) fail "no such input method: $method" ;;
esac

retry ready || fail "$method did not come up"

HOME=$office_home "$src/scripts/start-calc" >/dev/null
book="$work/book.xls"
HOME=$office_home "${helper[@]}" "$WORDPOUR_PIPE" make "$book"

cd "$work"
QT_QPA_PLATFORM=xcb "$wordpour" 2>"$work/wordpour.log" &
program=$!
dialog=$(window "^開く") || fail "no file dialog"
open_in_file_dialog "$dialog" "$book" || fail "the file dialog did not take the workbook's name"
main=$(window "^ワードポア！") || fail "the main window did not appear"
xdotool windowfocus "$main"; sleep 0.5
retry mozc || fail "the word box's input context did not take Mozc"
sleep 0.5
hiragana; sleep 0.5
xdotool type --delay 80 "toukyou"; sleep 0.5
xdotool key space; sleep 0.5                 # convert
xdotool key Return; sleep 0.5                # commit: 東京 is in the word box
[ -n "${WORDPOUR_IM_SHOT:-}" ] && import -window root "$WORDPOUR_IM_SHOT"
xdotool key Tab Tab Tab Tab Return           # 入力
sleep 1
cell=$(HOME=$office_home "${helper[@]}" "$WORDPOUR_PIPE" read "$book" A2)
[ "$cell" = "東京" ] || fail "A2 holds '$cell', not 東京"

# A word of a loaded List is found by the kana Mozc is composing, before
# anything is converted. "oosaka" typed with the focus on 入力: its first
# letter begins a new word in the word box, Mozc composes the rest (おさか),
# and the find list shows meanwhile; Enter commits the kana, and Enter on the
# list writes 大阪.
printf '\x91\xe5\x8d\xe3\r\n' >List          # 大阪 in code page 932
xdotool key ctrl+o; sleep 0.5
xdotool key Return; sleep 1                  # はい; the dictionary reads it meanwhile
before=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)
xdotool type --delay 80 "oosaka"; sleep 0.8
after=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | wc -l)
[ "$after" -gt "$before" ] || fail "no find list while composing おおさか ($before, then $after windows)"
xdotool key Return; sleep 0.5                # commit the kana
xdotool key Return; sleep 1                  # the list's first row: 大阪
cell=$(HOME=$office_home "${helper[@]}" "$WORDPOUR_PIPE" read "$book" A3)
[ "$cell" = "大阪" ] || fail "A3 holds '$cell', not 大阪"
xdotool key ctrl+q
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the program with status $status"
echo "$method with Mozc: toukyou, Space, Enter, 入力 wrote 東京; composing おおさか found 大阪"
