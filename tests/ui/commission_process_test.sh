#!/usr/bin/env bash
# `lumora --commission PLAN --port LINE` as a technician runs it, on an X
# server of its own (Xvfb) against lumora-sim: nothing goes out before Alt+S;
# after it the unit on the line is written, another simulator takes the line
# over (a unit swapped) and is written with its own row; the frame's close
# button ends the run and the program, with the journal holding two whole
# writes.
#
#   commission_process_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
missing() { echo "commission process test: $* (scripts/setup installs it)" >&2; exit 1; }
command -v Xvfb >/dev/null || missing "Xvfb is not installed"
command -v xdotool >/dev/null || missing "xdotool is not installed"

# shellcheck source=tests/support/harness.sh
source "$(dirname "$0")/../support/harness.sh" "commission process test"

export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
mkdir -m 0700 "$XDG_RUNTIME_DIR"
journal=$XDG_STATE_HOME/lumora/journal.jsonl

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for test -s "$work/display" || fail "Xvfb gave no display"
DISPLAY=:$(cat "$work/display")
export DISPLAY

printf 'serial,label,dhcp,local,server,gateway,mask\n0600000001,rack 1,,10.0.1.1,,,\n0600000002,rack 2,,10.0.1.2,,,\n' \
  >"$work/plan.csv"
"$build/lumora-sim" --verbose --serial 0600000001 --link "$work/line" >/dev/null 2>"$work/sim-1.log" &
sim1=$!
pids+=("$sim1")
wait_for test -e "$work/line" || fail "the simulator made no link"

# Built with AddressSanitizer, two of the system's X11 libraries trip it
# without a fault of the program's: libxkbcommon-x11 reads its keymap names
# with a length-bounded strndup, which the strict string check takes for an
# overflow, and libdbus keeps a buffer until the process ends.
printf 'leak:libdbus-1.so\n' >"$work/lsan.supp"
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0
export LSAN_OPTIONS=${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/lsan.supp
QT_QPA_PLATFORM=xcb "$build/lumora" --commission "$work/plan.csv" --port "$work/line" >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")
window() { xdotool search --name '^Lumora Commissioning - plan\.csv$' >"$work/window" 2>/dev/null; }
wait_for window || fail "no window titled 'Lumora Commissioning - plan.csv'"
id=$(head -n 1 "$work/window")
sleep 0.5
grep -q 'RX' "$work/sim-1.log" && fail "frames went out before Start"

# Without a window manager a click (on the plan's name) gives the window the keyboard.
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove $((X + 500)) $((Y + 48)) click 1
xdotool key alt+s
outcome() { [[ $(grep -c "\"serialNumber\":\"$1\",\"stage\":\"outcome\"" "$journal" 2>/dev/null) -eq 1 ]]; }
wait_for outcome 0600000001 || fail "0600000001 was not written"

# The unit is swapped: another simulator takes the line over.
kill "$sim1"
"$build/lumora-sim" --verbose --serial 0600000002 --link "$work/line" >/dev/null 2>"$work/sim-2.log" &
pids+=($!)
wait_for outcome 0600000002 || fail "0600000002 was not written after the swap"
grep -q 'RX 24: AA 55 01 .* 0A 00 01 02 ' "$work/sim-2.log" ||
  fail "0600000002 did not get its own row's settings"

# Both done: the run has ended by itself; the close button ends the program.
sleep 0.5
xdotool mousemove $((X + WIDTH - 14)) $((Y + 13)) click 1
wait_for sh -c "! kill -0 $program 2>/dev/null" || fail "the program did not end at the close button"
status=0
wait "$program" || status=$?
[[ $status -eq 0 ]] || fail "exit status $status"
[[ $(grep -c '"stage":"intent"' "$journal") -eq 2 ]] || fail "the journal does not hold two intents"
[[ $(grep -c '"stage":"outcome"' "$journal") -eq 2 ]] || fail "the journal does not hold two outcomes"
echo "commission process test: passed"
