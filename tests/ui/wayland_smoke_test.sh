#!/usr/bin/env bash
# The program on Wayland: under a headless weston compositor and with Qt's
# native Wayland platform, it reads the simulated device and then shows its
# window. The protocol trace of the serial line (LUMORA_TRACE) and of the
# Wayland connection (WAYLAND_DEBUG) show what happened and in which order.
# Needs no display; makes its own runtime folder (also as root).
#
#   wayland_smoke_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# scripts/setup installs both; a machine without them fails the test loudly.
missing() { echo "wayland smoke test: $* (scripts/setup installs it)" >&2; exit 1; }
command -v weston >/dev/null || missing "weston is not installed"
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
  missing "Qt's Wayland platform (qt6-wayland) is not installed"

# shellcheck source=tests/support/harness.sh
source "$(dirname "$0")/../support/harness.sh" "wayland smoke test"

export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/lumora"

weston --backend=headless-backend.so --socket=lumora-smoke --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for test -S "$XDG_RUNTIME_DIR/lumora-smoke" || fail "the compositor made no socket"

"$build/lumora-sim" --verbose --link "$work/ttyLUMORA" >/dev/null 2>"$work/sim.log" &
pids+=($!)
wait_for test -e "$work/ttyLUMORA" || fail "the simulator made no link"
printf '[COMSetup]\nCOM=1\n\n[Ports]\nCOM1=%s\n' "$work/ttyLUMORA" >"$XDG_CONFIG_HOME/lumora/ComSetup.INI"

WAYLAND_DISPLAY=lumora-smoke QT_QPA_PLATFORM=wayland LUMORA_TRACE=1 WAYLAND_DEBUG=client \
  "$build/lumora" >/dev/null 2>"$work/program.log" &
program=$!
pids+=("$program")

# The window is shown once its surface gets a buffer after the title with
# the device's type was set: the caption alone, nothing appended.
shown() {
  awk '/set_title\("LumoraV1\.3--EDFA\(Single\)"\)/ { titled = 1 }
       titled && /-> wl_surface@[0-9]+\.attach\(wl_buffer@/ { found = 1; exit }
       END { exit !found }' "$work/program.log"
}
for _ in $(seq 400); do
  shown && break
  kill -0 "$program" 2>/dev/null || fail "the program ended"
  sleep 0.05
done
shown || fail "the main window was not shown within 20 s"
grep -q 'wl_registry@[0-9]*\.global([0-9]*, "xdg_wm_base"' "$work/program.log" ||
  fail "the program did not run on the Wayland platform"

# The simulator got the information request, and the program read the reply
# before it made its window.
grep -q 'RX 7: AA 55 00 00 00 FB FF' "$work/sim.log" || fail "the simulator got no information request"
read_line=$(grep -n 'RX 87: AA 55 06' "$work/program.log" | head -n 1 | cut -d: -f1)
title_line=$(grep -n 'xdg_toplevel@[0-9]*\.set_title' "$work/program.log" | head -n 1 | cut -d: -f1)
[[ -n $read_line && -n $title_line ]] || fail "no device read or no window in the traces"
((read_line < title_line)) || fail "the window was shown before the device was read"
echo "wayland smoke test: ok"
