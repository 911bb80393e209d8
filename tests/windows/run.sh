#!/usr/bin/env bash
# Runs COMMAND in a fresh Wine prefix on a private Xvfb display, with COM
# ports that lead to lumora-sim on pseudo-terminals:
#   COM5  a sample device                     (LUMORA_COM_SIM=5)
#   COM6  a device that never answers         (LUMORA_COM_SILENT=6)
#   COM7  a device that is removed once it has seen its first request, before
#         it answers                          (LUMORA_COM_REMOVED=7)
#   COM8  a second sample device              (LUMORA_COM_SIM2=8)
# and, where the system lets it mount a tmpfs (as root; in CI it must), a
# 64 KiB drive that fills up: LUMORA_TINY_DRIVE=T: at LUMORA_TINY_DIR.
# The prefix gets the faces that stand in for Windows' own (registered as
# Windows registers fonts), and is thrown away afterwards.
#
#   tests/windows/run.sh LINUX_BUILD_DIR COMMAND...
#
# Wine's own processes (wineserver, services) outlive the commands that
# start them: their output goes to files, never to a pipe anyone waits on,
# and the prefix's server is ended here when COMMAND is done.
set -euo pipefail
linux_build=$(realpath "$1")
shift
sim=$linux_build/lumora-sim
[[ -x $sim ]] || { echo "run.sh: $sim is missing (build the Linux tree first)" >&2; exit 1; }

work=$(mktemp -d /tmp/lumora-wine.XXXXXX)
pids=()
cleanup() {
  local status=$?
  WINEPREFIX=$work/prefix timeout 20 wineserver -k >/dev/null 2>&1 </dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  mountpoint -q "$work/tiny" 2>/dev/null && umount -l "$work/tiny"
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT INT TERM

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LUMORA_WINE_WORK=$work

# A display of our own (the first free number).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "run.sh: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY

# Every wait on Wine is bounded: wineserver -w returns once the prefix's
# processes have all ended.
settle() { timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true; }
timeout 180 wineboot --init >"$work/wineboot.log" 2>&1 </dev/null ||
  { echo "run.sh: wineboot failed" >&2; cat "$work/wineboot.log" >&2; exit 1; }
settle

# The faces Windows has for the program's fonts, as Windows installs them:
# a file in the Fonts folder and its entry in the registry's font list.
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
/usr/bin/python3 "$(dirname "$0")/windows_faces.py" /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf \
  /usr/share/fonts/truetype/arphic/uming.ttc "$fonts"
cat >"$work/fonts.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Microsoft Sans Serif (TrueType)"="micross.ttf"
"SimSun & NSimSun (TrueType)"="simsun.ttc"
REG
timeout 60 wine regedit /S "$work/fonts.reg" >"$work/regedit.log" 2>&1 </dev/null
settle

# Starts lumora-sim with ARGS behind COM<n>; waits for its line.
start_sim() {
  local n=$1
  shift
  local link=$WINEPREFIX/dosdevices/com$n
  rm -f "$link"
  "$sim" --link "$link" "$@" >"$work/sim$n.out" 2>"$work/sim$n.log" &
  pids+=($!)
  for _ in $(seq 100); do [[ -L $link && -s $work/sim$n.out ]] && return 0; sleep 0.1; done
  echo "run.sh: lumora-sim for COM$n did not start" >&2
  cat "$work/sim$n.log" >&2
  exit 1
}
start_sim 5
start_sim 6 --silent
start_sim 7 -v --delay 5000
removed_sim=${pids[-1]}
start_sim 8 --serial 0612345679
# COM7's device goes away once its first request is in (it would answer
# only five seconds later).
(
  for _ in $(seq 6000); do grep -q ' RX ' "$work/sim7.log" 2>/dev/null && break; sleep 0.1; done
  sleep 0.3
  kill "$removed_sim"
) >/dev/null 2>&1 &
pids+=($!)
export LUMORA_COM_SIM=5 LUMORA_COM_SILENT=6 LUMORA_COM_REMOVED=7 LUMORA_COM_SIM2=8

mkdir "$work/tiny"
if mount -t tmpfs -o size=64k tmpfs "$work/tiny" 2>"$work/mount.log"; then
  ln -s "$work/tiny" "$WINEPREFIX/dosdevices/t:"
  export LUMORA_TINY_DRIVE=T: LUMORA_TINY_DIR=$work/tiny
elif [[ ${CI:-} == true ]]; then
  echo "run.sh: CI must mount a tmpfs for the full-disk tests: $(cat "$work/mount.log")" >&2
  exit 1
fi

# The ports also as Wine defines serial ports (HKLM\Software\Wine\Ports):
# when the prefix's device manager starts anew it lists them in
# HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, as Windows lists its ports.
{
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
  for n in 5 6 7 8; do printf '"COM%s"="%s"\n' "$n" "$(readlink "$WINEPREFIX/dosdevices/com$n")"; done
} >"$work/ports.reg"
timeout 60 wine regedit /S "$work/ports.reg" >"$work/regedit-ports.log" 2>&1 </dev/null
settle

"$@"
