#!/usr/bin/env bash
# Times the real wordpour.exe under Wine against the stand-in Excel: from
# start to the file dialog, and each entry from the key press to the cell
# the server recorded. Prints figures; asserts nothing.
# Usage: xvfb-run -a bench/wine_program_timing.sh WORDPOUR_EXE FAKE_EXCEL_SERVER_EXE [ENTRIES]
set -euo pipefail
exe=$(realpath "$1")
server_exe=$(realpath "$2")
entries=${3:-20}
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64 || command -v wine)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null || true
export LOCPATH="$work/locale" LANG=ja_JP.UTF-8
wm="" server="" program=""
cleanup() {
    for pid in $program $server $wm; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s%N; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'; }

openbox >/dev/null 2>&1 &
wm=$!
"$wine" reg add 'HKCR\Excel.Application\CLSID' /ve /d '{00024500-0000-0000-C000-000000000046}' /f \
    >/dev/null 2>&1
cd "$work"
echo stand-in >book.xls
(exec "$wine" "$server_exe" "Z:${work//\//\\}\\excel.log") >/dev/null 2>&1 &
server=$!
for _ in $(seq 1 300); do grep -q ready excel.log 2>/dev/null && break; sleep 0.05; done

# Wine itself is warm now (the server started it): time the program alone.
started=$(now)
(exec "$wine" "$exe") >/dev/null 2>&1 &
program=$!
until dialog=$(xdotool search --onlyvisible --name "開く" 2>/dev/null | head -1) && [ -n "$dialog" ]; do
    sleep 0.01
done
echo "start to the file dialog: $(ms "$started" "$(now)") ms"
xdotool windowactivate --sync "$dialog" 2>/dev/null || true
sleep 0.5
xdotool type --delay 60 "book.xls"
xdotool key Return
until xdotool search --onlyvisible --name "^ワードポア！$" >/dev/null 2>&1; do sleep 0.05; done
sleep 1
xdotool type --delay 60 "w"
xdotool key Tab Tab Tab Tab
times=()
for i in $(seq 1 "$entries"); do
    before=$(grep -c '^cell ' excel.log || true)
    pressed=$(now)
    xdotool key Return
    until [ "$(grep -c '^cell ' excel.log || true)" -gt "$before" ]; do sleep 0.002; done
    times+=("$(ms "$pressed" "$(now)")")
    sleep 0.2
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "one entry, key press to cell recorded ($entries entries): median $(echo "$sorted" |
    sed -n "$(((entries + 1) / 2))p") ms, min $(echo "$sorted" | head -1) ms, max $(echo "$sorted" | tail -1) ms"
echo "wordpour.exe: $(stat -c %s "$exe") bytes"
