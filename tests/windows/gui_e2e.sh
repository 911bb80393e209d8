#!/usr/bin/env bash
# End to end under Wine (inside tests/windows/run.sh): lumora.exe opens the
# port stored in the registry (COM5, the sample device), shows its window
# titled by the device type, and looks like the Linux build's window on the
# same display.
#
#   gui_e2e.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
set -euo pipefail
win_build=$(realpath "$1")
linux_build=$(realpath "$2")
work=${LUMORA_WINE_WORK:?run inside tests/windows/run.sh}
title='LumoraV1.3--EDFA(Single)'

wine reg add 'HKCU\ComSetup.INI\COMSetup' /v COM /t REG_SZ /d "$LUMORA_COM_SIM" /f >"$work/reg.log" 2>&1 </dev/null
(cd "$work" && exec wine "$win_build/lumora.exe") >"$work/lumora-exe.log" 2>&1 </dev/null &
exe=$!

# The window, once it carries the device's type (bounded: 60 s).
find_window() {
  local id=
  for _ in $(seq 600); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
win_id=$(find_window "$title") || { echo "gui_e2e: no window titled $title" >&2; cat "$work/lumora-exe.log" >&2; exit 1; }
xdotool windowfocus --sync "$win_id" >/dev/null 2>&1 || true
sleep 1
import -window "$win_id" "$work/windows.png"

# The Linux build on the same display and the same device, through a
# settings store of its own.
mkdir -p "$work/xdg/lumora" "$work/runtime"
chmod 700 "$work/runtime"
printf '[COMSetup]\nCOM=1\n[Ports]\nCOM1=%s\n' "$(cat "$work/sim$LUMORA_COM_SIM.out")" >"$work/xdg/lumora/ComSetup.INI"
# The port is free again only once lumora.exe has gone.
kill "$exe" 2>/dev/null || true
wineserver -w >/dev/null 2>&1 </dev/null || true
XDG_CONFIG_HOME=$work/xdg XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb "$linux_build/lumora" \
  >"$work/lumora-linux.log" 2>&1 </dev/null &
linux=$!
linux_id=$(find_window "$title") || { echo "gui_e2e: the Linux build shows no window" >&2; exit 1; }
sleep 1
import -window "$linux_id" "$work/linux.png"
kill "$linux" 2>/dev/null || true

size_w=$(identify -format '%wx%h' "$work/windows.png")
size_l=$(identify -format '%wx%h' "$work/linux.png")
[[ $size_w == "$size_l" ]] || { echo "gui_e2e: window sizes differ: $size_w (Windows) and $size_l (Linux)" >&2; exit 1; }
# Pixels that differ by more than a trace: the skin, the layout and the
# picture are the same bitmaps; only glyph rasterisation may differ.
differing=$(compare -metric AE -fuzz 8% "$work/windows.png" "$work/linux.png" null: 2>&1 || true)
total=$(( ${size_w%x*} * ${size_w#*x} ))
echo "gui_e2e: $differing of $total pixels differ"
limit=${LUMORA_E2E_PIXEL_LIMIT:-3}
(( differing * 100 <= total * limit )) || {
  cp "$work/windows.png" "$work/linux.png" "${LUMORA_E2E_KEEP:-/tmp}/" 2>/dev/null || true
  echo "gui_e2e: more than $limit % of the pixels differ" >&2
  exit 1
}
