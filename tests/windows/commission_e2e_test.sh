#!/usr/bin/env bash
# The commissioning window of lumora.exe under Wine (inside
# tests/windows/run.sh): `lumora.exe --commission plan.csv --port COM9`, COM9
# leading to lumora-sim (a port of its own: Wine's registry maps those
# run.sh made); Alt+S writes the unit on the line, a second simulator takes
# the line over (a unit swapped) and is written with its own row; the frame's close button ends the program; the journal in
# %LOCALAPPDATA%\Lumora holds both writes whole.
#
#   commission_e2e_test.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
win_build=$(realpath "$1")
linux_build=$(realpath "$2")
work=${LUMORA_WINE_WORK:?run inside tests/windows/run.sh}
link=$WINEPREFIX/dosdevices/com9
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
journal=$WINEPREFIX/drive_c/users/$user/AppData/Local/Lumora/journal.jsonl

sims=()
cleanup() { for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() {
  echo "commission_e2e: $*" >&2
  tail -n 20 "$work"/commission-*.log >&2 || true
  exit 1
}
# Waits (bounded: 60 s) for a command to succeed.
wait_for() {
  for _ in $(seq 600); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
start_unit() {
  rm -f "$link"
  "$linux_build/lumora-sim" --serial "$1" --link "$link" >"$work/commission-sim-$1.out" 2>&1 &
  sims+=($!)
  wait_for test -L "$link" || fail "lumora-sim for $1 did not start"
}
outcome() { [[ $(grep -c "\"serialNumber\":\"$1\",\"stage\":\"outcome\"" "$journal" 2>/dev/null) -eq 1 ]]; }

printf 'serial,label,dhcp,local,server,gateway,mask\r\n0600000001,rack 1,,10.0.1.1,,,\r\n0600000002,rack 2,,10.0.1.2,,,\r\n' \
  >"$work/plan.csv"
start_unit 0600000001
(cd "$work" && exec wine "$win_build/lumora.exe" --commission plan.csv --port COM9) \
  >"$work/commission-exe.log" 2>&1 </dev/null &
exe=$!

window() { xdotool search --name '^Lumora Commissioning - plan\.csv' 2>/dev/null | head -n 1; }
has_window() { [[ -n $(window) ]]; }
wait_for has_window || fail "no window titled 'Lumora Commissioning - plan.csv'"
id=$(window)
xdotool windowfocus --sync "$id" >/dev/null 2>&1 || true
sleep 1
xdotool key alt+s
wait_for outcome 0600000001 || fail "0600000001 was not written"

# The unit is swapped on the line.
kill "${sims[0]}"
start_unit 0600000002
wait_for outcome 0600000002 || fail "0600000002 was not written after the swap"

eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove $((X + WIDTH - 14)) $((Y + 13)) click 1
wait_for sh -c "! kill -0 $exe 2>/dev/null" || fail "lumora.exe did not end at the close button"
[[ $(grep -c '"stage":"intent"' "$journal") -eq 2 ]] || fail "the journal does not hold two intents"
[[ $(grep -c '"stage":"outcome"' "$journal") -eq 2 ]] || fail "the journal does not hold two outcomes"
echo "commission_e2e: passed"
