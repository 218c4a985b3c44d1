#!/usr/bin/env bash
# Runs im_entry_test.sh on its own virtual screen and D-Bus session, as
# the calling user, or, when that is root (Mozc's server will not run as
# root), as the ordinary user "wordpour-ime", made if missing. That user
# gets copies of the program and the scripts the test needs, in a folder it
# can read. Usage: im_entry_as_user.sh SOURCE_DIR WORDPOUR_BINARY ibus|fcitx5
set -euo pipefail
src=$1
wordpour=$2
method=$3
run=(xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session --)
if [ "$(id -u)" -ne 0 ]; then
    exec "${run[@]}" "$src/tests/e2e/im_entry_test.sh" "$src" "$wordpour" "$method"
fi

user=wordpour-ime
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/tests/e2e" "$copy/scripts"
cp "$src/tests/e2e/im_entry_test.sh" "$src/tests/e2e/helpers.sh" "$src/tests/e2e/calc_helper.py" \
    "$copy/tests/e2e/"
cp "$src/scripts/start-calc" "$src/scripts/office-listens" "$copy/scripts/"
cp "$wordpour" "$copy/wordpour"
chmod -R a+rX "$copy"
chown -R "$user" "$copy"
cd "$copy"
runuser -u "$user" -- env -i PATH="$PATH" HOME="$(getent passwd "$user" | cut -d: -f6)" \
    LANG=C.UTF-8 "${run[@]}" "$copy/tests/e2e/im_entry_test.sh" "$copy" "$copy/wordpour" "$method"
