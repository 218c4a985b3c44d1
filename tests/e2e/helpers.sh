# Shared by the end-to-end scripts (sourced): ending with a failure and a
# screenshot, waiting for a window, and cleaning up what a script started.
#
# A script sets e2e_name (shown after FAIL) and e2e_screenshot (where the
# screen goes when it fails), and registers its clean-up with at_exit.

e2e_cleanups=()
# Runs `command` when the script ends, however it ends; the last registered first.
at_exit() { e2e_cleanups+=("$1"); }
e2e_cleanup() {
    local i
    for ((i = ${#e2e_cleanups[@]} - 1; i >= 0; i--)); do eval "${e2e_cleanups[i]}" || true; done
}
trap e2e_cleanup EXIT
# A command that fails outside a check ends the script (set -e): say which.
trap 'echo "FAIL${e2e_name:+ ($e2e_name)}: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

# Runs the calling script again, once, in a D-Bus session of its own, where
# it can start the AT-SPI bus: own_dbus_session "$@" before anything else.
own_dbus_session() {
    [ -n "${WORDPOUR_A11Y_SESSION:-}" ] && return 0
    exec env WORDPOUR_A11Y_SESSION=1 dbus-run-session -- bash "$0" "$@"
}

fail() {
    echo "FAIL${e2e_name:+ ($e2e_name)}: $*" >&2
    if [ -n "${e2e_screenshot:-}" ]; then import -window root "$e2e_screenshot" 2>/dev/null || true; fi
    exit 1
}

# The first visible window whose name matches, waiting up to 30 s for it:
# a start-up may open a workbook in a spreadsheet first.
window() {
    for _ in $(seq 1 300); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Gives WINDOW the keyboard and checks that it has it, for up to 3 s: a
# window an office shows late (its workbook, a tip) takes the focus
# without a window manager to stop it.
focus_window() {
    for _ in $(seq 1 10); do
        xdotool windowfocus "$1" 2>/dev/null || true
        sleep 0.3
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    done
    return 1
}

# Waits up to SECONDS for the child process PID to end; false if it did not.
ended_within() {
    local pid=$1 seconds=$2
    for _ in $(seq 1 $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; return 0; }
        sleep 0.1
    done
    return 1
}

# A profile for an office that a person has used before: its tip of the
# day, which shows late and takes the keyboard from whatever is typed, is
# off. PROFILE is the folder of -env:UserInstallation.
no_tip_of_the_day() {
    mkdir -p "$1/user"
    cat >"$1/user/registrymodifications.xcu" <<'XCU'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
XCU
}

# Types PATH into the file dialog DIALOG and presses Enter. xdotool now and
# then loses a character it types from a keymap it had to change (a Japanese
# one): the dialog then says that no such file is there, in a second window
# of its title. That is closed and the path typed again, up to three times.
open_in_file_dialog() {
    local dialog=$1 path=$2 title
    title=$(xdotool getwindowname "$dialog")
    for _ in 1 2 3; do
        xdotool windowfocus "$dialog" 2>/dev/null || true
        sleep 0.3
        xdotool key ctrl+a
        xdotool type --delay 80 "$path"
        xdotool key Return
        sleep 2
        [ "$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | wc -l)" -ge 2 ] || return 0
        xdotool key Return
        sleep 0.5
    done
    return 1
}

# An office of the script's own, listening on $WORDPOUR_PIPE with the
# profile of $WORDPOUR_OFFICE_ARGS, in a session of its own (office_pid),
# and a new workbook BOOK made through it. Extra arguments go to soffice
# ("--headless" for none of its windows, "--nodefault" for none at start).
# Needs `helper` (calc_helper.py's command) and `src`.
start_office_with_book() {
    local book=$1
    shift
    setsid soffice "$@" --norestore "$WORDPOUR_OFFICE_ARGS" \
        "--accept=pipe,name=$WORDPOUR_PIPE;urp;" >/dev/null 2>&1 </dev/null &
    office_pid=$!
    for _ in $(seq 1 150); do "$src/scripts/office-listens" "$WORDPOUR_PIPE" && break; sleep 0.2; done
    # An office that has only just begun to listen may turn python-uno's first call away.
    for _ in 1 2 3 4 5; do "${helper[@]}" "$WORDPOUR_PIPE" make "$book" 2>/dev/null && break; sleep 1; done
    [ -f "$book" ]
}

# Ends that office: asked first, then its whole session killed.
end_office() {
    timeout 20 "${helper[@]}" "$WORDPOUR_PIPE" quit 2>/dev/null || true
    sleep 1
    [ -n "${office_pid:-}" ] && kill -KILL -- "-$office_pid" 2>/dev/null || true
}
