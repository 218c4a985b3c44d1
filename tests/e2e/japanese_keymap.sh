# Sourced by the end-to-end tests: japanese_keymap CHARS DIR loads, on the
# X display, a plain US keymap that also puts each of CHARS on a key of its
# own (unused function keys, at most 12), writing the keymap file in DIR.
#
# xdotool types a character missing from the keymap by remapping a spare key
# for an instant, which a program that reads the keymap once (Wine), or
# reads it late under a window manager, loses or doubles. Load this before
# the programs start. Wine has only about 19 spare virtual keys for such
# keysyms.
japanese_keymap() {
    local chars=$1 dir=$2 symbols='include "pc+us"' i=13 code
    while IFS= read -r -n1 ch; do
        [ -n "$ch" ] || continue
        [ "$i" -le 24 ] || { echo "too many Japanese characters for the spare keys" >&2; return 1; }
        code=$(printf '%s' "$ch" | iconv -f UTF-8 -t UTF-32BE | od -An -tx1 | tr -d ' \n')
        symbols+=" key <FK$i> { [ U$(printf '%04X' "0x$code") ] };"
        i=$((i + 1))
    done <<<"$chars"
    cat >"$dir/keymap.xkb" <<KEYMAP
xkb_keymap {
    xkb_keycodes { include "evdev+aliases(qwerty)" };
    xkb_types { include "complete" };
    xkb_compat { include "complete" };
    xkb_symbols { $symbols };
    xkb_geometry { include "pc(pc105)" };
};
KEYMAP
    xkbcomp -w 0 "$dir/keymap.xkb" "$DISPLAY"
}
