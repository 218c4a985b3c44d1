#!/usr/bin/env bash
# Installs the Windows installer under Wine as a person would, without
# administrator rights: msiexec /i …, whose licence dialog lets nothing be
# installed until the licence is accepted (Alt+A, then Alt+I; later
# installs run with /qn, which shows no dialog). Checks the files (the zip's), the
# Start-menu shortcut ワードポア！, the installed-programs entry, and that the
# shortcut starts the program, which writes a word into the stand-in Excel.
# Then installs a newer version over it (one entry, in place) and removes it:
# every file, folder and registry key the installer made is gone.
# Usage: msi_install_test.sh MSI MAKE_MSI STAGE_DIR FAKE_EXCEL_SERVER_EXE ZIP (inside xvfb-run)
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
msi=$1 make_msi=$2 stage=$3 server_exe=$4 zip=$5
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64 || command -v wine)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
e2e_name=msi
# Japanese windows need a Japanese locale; build one without root.
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null || true
export LOCPATH="$work/locale" LANG=ja_JP.UTF-8
e2e_screenshot="$work/../wordpour-msi-failure.png"

wm="" server=""
cleanup() {
    for pid in $server $wm; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
at_exit cleanup

openbox >/dev/null 2>&1 &
wm=$!
"$wine" wineboot -i >/dev/null 2>&1
wineserver -w
# What the prefix holds before: the registry (as text) and the files.
registry() {
    "$wine" regedit /E "$work/$1.reg" >/dev/null 2>&1
    wineserver -w
    iconv -f UTF-16 -t UTF-8 "$work/$1.reg" | tr -d '\r' | grep -v '^#time=' | sort -u >"$work/$1.keys"
}
files() { (cd "$WINEPREFIX/drive_c" && find . | sort) >"$work/$1.files"; }
# The installed programs' entries, as text: reg query would print the
# Japanese in the console's code page.
programs() {
    "$wine" regedit /E "$work/programs.reg" \
        'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall' >/dev/null 2>&1
    wineserver -w
    iconv -f UTF-16 -t UTF-8 "$work/programs.reg" | tr -d '\r'
}
registry before
files before

"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAGothic /f \
    >/dev/null 2>&1
"$wine" msiexec /i "$msi" &
installer=$!
licence=$(window "^ワードポア！ のセットアップ$") || fail "no licence dialog"
xdotool windowactivate --sync "$licence" 2>/dev/null || true
sleep 0.5
xdotool key alt+i  # not accepted yet: nothing happens
sleep 2
[ -z "$(find "$WINEPREFIX/drive_c/users" -maxdepth 5 -path '*/Programs/Wordpour' | head -1)" ] ||
    fail "installed before the licence was accepted"
xdotool key alt+a
sleep 0.5
xdotool key alt+i
wait "$installer" || fail "msiexec /i failed"
wineserver -w
folder=$(find "$WINEPREFIX/drive_c/users" -maxdepth 5 -path '*/AppData/Local/Programs/Wordpour' | head -1)
[ -n "$folder" ] || fail "nothing installed in %LOCALAPPDATA%\Programs\Wordpour"
installed=$(cd "$folder" && ls | sort | tr '\n' ' ')
zipped=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$installed" = "$zipped" ] || fail "installed: $installed; the zip holds: $zipped"
cmp "$folder/wordpour.exe" "$stage/wordpour.exe" || fail "the installed program is not the one built"
shortcut=$(find "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/ワードポア！.lnk' | head -1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut ワードポア！"
entry=$(programs | awk '/^\[/{key=$0} {print key "|" $0}' | grep -F "$(programs |
    awk '/^\[/{key=$0} /"DisplayName"="ワードポア！"/{print key}')" || true)
[ -n "$entry" ] || fail "no entry in the installed programs"
grep -q '"Publisher"="Wordpour Project"' <<<"$entry" || fail "publisher: $entry"
grep -q '"DisplayVersion"="1.0"' <<<"$entry" || fail "version: $entry"

# The shortcut starts the program: it asks for a workbook and writes a word
# into the stand-in Excel.
"$wine" reg add 'HKCR\Excel.Application\CLSID' /ve /d '{00024500-0000-0000-C000-000000000046}' /f \
    >/dev/null 2>&1
mkdir -p "$work/book"
echo stand-in >"$work/book/book.xls"
cd "$work"
(exec "$wine" "$server_exe" "Z:${work//\//\\}\\excel.log") >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 150); do grep -q ready excel.log 2>/dev/null && break; sleep 0.2; done
grep -q ready excel.log || fail "the stand-in Excel did not start"
"$wine" start /unix "$shortcut" >/dev/null 2>&1 || fail "the shortcut did not start ($?)"
dialog=$(window "開く") || fail "the shortcut started no program (no file dialog)"
open_in_file_dialog "$dialog" "Z:${work//\//\\}\\book\\book.xls" || fail "the file dialog kept the path"
main=$(window "^ワードポア！$") || fail "the main window did not appear"
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 1
xdotool type --delay 80 "msi"
xdotool key Tab Tab Tab Tab Return
for _ in $(seq 1 50); do grep -q "^cell A2='msi" excel.log && break; sleep 0.2; done
grep -q "^cell A2='msi" excel.log || fail "no word written: $(grep '^cell' excel.log)"
xdotool key ctrl+q
for _ in $(seq 1 50); do xdotool search --onlyvisible --name "^ワードポア！$" >/dev/null 2>&1 || break; sleep 0.2; done
kill "$server" 2>/dev/null || true
server=""
wineserver -w

# A newer version installs over this one: one entry, the files in place.
newer="$work/newer.msi"
bash "$make_msi" "$stage" 1.0.1 "$newer"
"$wine" msiexec /i "$newer" /qn || fail "the newer version did not install ($?)"
wineserver -w
entries=$(programs | grep -c '"DisplayName"="ワードポア！"' || true)
[ "$entries" = 1 ] || fail "$entries installed-programs entries after the upgrade"
programs | grep -q '"DisplayVersion"="1.0.1"' || fail "the upgrade did not replace the version"
[ -f "$folder/wordpour.exe" ] || fail "the upgrade lost the program"

"$wine" msiexec /x "$newer" /qn || fail "msiexec /x failed ($?)"
wineserver -w
# What the program itself keeps for the person (its settings and journal,
# under %APPDATA% and %LOCALAPPDATA%\wordpour) stays, as the person's data.
# Windows Installer's own cache folders stay too, empty: every Windows has
# them, a fresh Wine prefix only once something was installed.
files after
left=$(comm -13 "$work/before.files" "$work/after.files" |
    grep -v -e '^\./users/[^/]*/AppData/Local/wordpour' -e '^\./users/[^/]*/AppData/Roaming/wordpour' \
        -e '^\./users/[^/]*/AppData/Roaming/Microsoft/Installer$' -e '^\./windows/Installer$' || true)
[ -z "$left" ] || fail "files left behind: $left"
registry after
left=$(comm -13 "$work/before.keys" "$work/after.keys" |
    grep -v -i -e 'Excel.Application' -e '00024500-0000-0000-C000-000000000046' || true)
# Wine's own bookkeeping of windows and devices changes on any run; what the
# installer made names the product, its folder or its code.
made=$(grep -i -e wordpour -e 'ワードポア' -e "$(msiinfo export "$newer" Property | grep -a UpgradeCode | cut -f2 | tr -d '{}\r')" <<<"$left" || true)
[ -z "$made" ] || fail "registry left behind: $made"
echo "msi: installed, started, upgraded in place and removed"
