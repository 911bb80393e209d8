#!/usr/bin/env bash
# End to end under Wine (inside tests/windows/run.sh): lumora-cli.exe lists
# the COM ports, reads the simulated unit on COM5, writes its settings with
# verification, commissions it from a plan, records both writes in the
# journal under %LOCALAPPDATA%\Lumora, finds the unit by scanning, stores
# the port number in the registry (read back with `wine reg query`), refuses
# the port mapping that Windows does not need, reports a silent unit, keeps
# whole journal lines when two processes write at once and fails cleanly on
# a full disk. Its help describes Windows.
#
#   cli_e2e_test.sh WINDOWS_BUILD_DIR
set -euo pipefail
cli=$(realpath "$1")/lumora-cli.exe
work=${LUMORA_WINE_WORK:?run inside tests/windows/run.sh}
com=COM$LUMORA_COM_SIM
failures=0

# Runs lumora-cli.exe with ARGS; its output goes to files (out, err), the
# exit status to $status.
run() {
  local try
  for try in 1 2; do
    status=0
    (cd "$work" && exec timeout 60 wine "$cli" "$@") >"$work/out" 2>"$work/err" </dev/null || status=$?
    # Now and then Wine's own server ends under a command (the client then
    # says "wine client error"); that is Wine's fault, and the command runs
    # once more under a new server.
    grep -q '^wine client error' "$work/err" || break
    [[ $try -eq 1 ]] && echo "cli_e2e: Wine's server ended during 'lumora-cli $*'; running it again" >&2
  done
  tr -d '\r' <"$work/out" >"$work/out.txt"
}
fail() {
  echo "cli_e2e: $*" >&2
  echo "  stdout:" >&2; sed 's/^/    /' "$work/out.txt" >&2
  echo "  stderr:" >&2; sed 's/^/    /' "$work/err" >&2
  failures=$((failures + 1))
}
expect_status() { [[ $status -eq $1 ]] || fail "$2: exit status $status, expected $1"; }
expect_line() { grep -qxF -- "$1" "$work/out.txt" || fail "$2: no line '$1'"; }
expect_error() { [[ $(tr -d '\r' <"$work/err") == "$1" ]] || fail "$2: standard error is not '$1'"; }

run --version
expect_status 0 "--version"
expect_line "lumora-cli 1.2.0" "--version"

# The help speaks of Windows: its COM numbers, the registry, the journal
# under %LOCALAPPDATA%, nothing of Linux's devices, groups or folders.
for topic in "" ports port; do
  # shellcheck disable=SC2086 # no topic: the overview
  run $topic --help
  expect_status 0 "$topic --help"
  ! grep -nE '/dev/|ttyS|udev|ModemManager|XDG|~/|\[Ports\]|group' "$work/out.txt" ||
    fail "$topic --help speaks of Linux"
done
run --help
expect_line 'Writes are recorded in %LOCALAPPDATA%\Lumora\journal.jsonl.' "--help"
run port --help
grep -qF 'HKEY_CURRENT_USER\ComSetup.INI\COMSetup' "$work/out.txt" || fail "port --help: not the registry"

run ports
expect_status 0 "ports"
grep -qE "^  $com +.*ok, can be opened\$" "$work/out.txt" || fail "ports: $com is not listed as one that opens"

run --port "$com" info
expect_status 0 "info"
expect_line "Type:                 6 EDFA(Single)" "info"
expect_line "S/N:                  0612345678" "info"
expect_line "Local IP:             192.168.1.100" "info"

run --port "$com" set --local 192.168.1.77 --mask 255.255.0.0
expect_status 0 "set"
expect_line "Command success!" "set"
run --port "$com" info
expect_line "Local IP:             192.168.1.77" "info after set"
expect_line "Subnet mask:          255.255.0.0" "info after set"

# The commissioning engine: the unit attached now gets the plan's settings.
printf 'serial,dhcp,local,server,gateway,mask\r\n0612345678,off,10.0.0.5,10.0.0.1,10.0.0.254,255.0.0.0\r\n' >"$work/plan.csv"
run --port "$com" commission --once plan.csv
expect_status 0 "commission --once"
grep -qE '^[0-9TZ:-]+ \[1/1\] 0612345678: done \(verified\)$' "$work/out.txt" || fail "commission: the unit is not done"
grep -qE '^[0-9TZ:-]+ \[1/1\] 1 of 1 unit done$' "$work/out.txt" || fail "commission: no summary"
run --port "$com" info
expect_line "Local IP:             10.0.0.5" "info after commission"

# The journal: whole lines, each write's intent before its verified outcome.
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
journal=$WINEPREFIX/drive_c/users/$user/AppData/Local/Lumora/journal.jsonl
if [[ ! -f $journal ]]; then
  fail "no journal at $journal"
else
  [[ $(tail -c 1 "$journal" | od -An -c | tr -d ' ') == '\n' ]] || fail "journal: the last line is not whole"
  stages=$(grep -o '"stage":"[a-z]*"' "$journal" | tr '\n' ' ')
  [[ $stages == '"stage":"intent" "stage":"outcome" "stage":"intent" "stage":"outcome" ' ]] ||
    fail "journal: not intent and outcome of two writes: $(cat "$journal")"
  [[ $(grep -c '"verification":"verified"' "$journal") -eq 2 ]] || fail "journal: not two verified writes"
fi

run scan
expect_status 0 "scan"
grep -qE "^$com +.*: type 6 EDFA\(Single\), serial number 0612345678\$" "$work/out.txt" ||
  fail "scan: $com does not answer"

run port "$LUMORA_COM_SIM"
expect_status 0 "port N"
if ! grep -qE "^Stored port: $com \(.+\)\$" "$work/out.txt" || grep -qF "(no device)" "$work/out.txt"; then
  fail "port N: $com is not stored with its device"
fi
wine reg query 'HKCU\ComSetup.INI\COMSetup' /v COM >"$work/reg.out" 2>"$work/reg.err" </dev/null || true
grep -qE "^ +COM +REG_SZ +$LUMORA_COM_SIM\$" <(tr -d '\r' <"$work/reg.out") ||
  fail "reg query: the stored port is not $LUMORA_COM_SIM: $(cat "$work/reg.out")"
run info
expect_status 0 "info on the stored port"
expect_line "S/N:                  0612345678" "info on the stored port"

run port map COM3 'C:\dev'
expect_status 2 "port map"
expect_error "lumora-cli: 'port map' is not needed on Windows: Windows numbers its ports itself (see 'lumora-cli ports')" \
  "port map"
run port unmap COM3
expect_status 2 "port unmap"
expect_error "lumora-cli: 'port unmap' is not needed on Windows: Windows numbers its ports itself (see 'lumora-cli ports')" \
  "port unmap"

run --port "COM$LUMORA_COM_SILENT" info
expect_status 1 "info on a silent unit"
expect_error "lumora-cli: Device response timeout!" "info on a silent unit"

# Two lumora-cli.exe writing one journal at once, each to its own unit: the
# appends are serialised (LockFileEx), so every record is one whole line and
# each write's intent and outcome are both there, in that order.
writer() {
  local port=$1 net=$2
  for i in 1 2 3 4 5; do
    (cd "$work" && exec timeout 60 wine "$cli" --port "$port" set --local "10.$net.0.$i" --journal 'C:\shared.jsonl') \
      >/dev/null 2>>"$work/writer$net.err" </dev/null || echo "write $i failed" >>"$work/writer$net.err"
  done
}
writer "COM$LUMORA_COM_SIM" 1 &
first=$!
writer "COM$LUMORA_COM_SIM2" 2 &
second=$!
wait "$first" "$second"
for net in 1 2; do
  [[ ! -s $work/writer$net.err ]] || fail "shared journal: writer $net: $(cat "$work/writer$net.err")"
done
/usr/bin/python3 - "$WINEPREFIX/drive_c/shared.jsonl" <<'PY' || fail "shared journal: not 20 whole records of 10 writes"
import json, sys
raw = open(sys.argv[1], "rb").read()
assert raw.endswith(b"\n"), "the last line is not whole"
records = [json.loads(line) for line in raw.decode("utf-8").split("\n")[:-1]]
assert len(records) == 20, len(records)
stages = {}
for r in records:
    stages.setdefault(r["writeId"], []).append(r["stage"])
assert len(stages) == 10 and all(s == ["intent", "outcome"] for s in stages.values()), stages
PY

# A full disk (drive T:, where run.sh could make one): a backup that cannot
# be written leaves the old one whole and nothing beside it; a journal that
# cannot take the write's record keeps the write from going out.
if [[ -n ${LUMORA_TINY_DRIVE:-} ]]; then
  tiny=$LUMORA_TINY_DIR
  run --port "$com" backup -o 'T:\unit.json'
  expect_status 0 "backup to T:"
  cp "$tiny/unit.json" "$work/unit.json"
  run --port "$com" set --local 10.0.0.9 --journal 'T:\journal.jsonl'
  expect_status 0 "set with the journal on T:"
  # The journal padded to whole pages with a line the reader skips, so that
  # the next line needs a page the full drive no longer has.
  size=$(stat -c %s "$tiny/journal.jsonl")
  pad=$((4096 - size % 4096))
  { head -c $((pad - 1)) /dev/zero | tr '\0' x; echo; } >>"$tiny/journal.jsonl"
  cp "$tiny/journal.jsonl" "$work/journal.jsonl"
  # Every free byte taken (dd stops at the full disk).
  dd if=/dev/zero of="$tiny/filler" bs=4096 2>/dev/null || true
  dd if=/dev/zero of="$tiny/filler" bs=1 oflag=append conv=notrunc 2>/dev/null || true

  run --port "$com" backup -o 'T:\unit.json'
  expect_status 1 "backup to a full T:"
  [[ $(tr -d '\r' <"$work/err") == 'lumora-cli: cannot write T:'?'unit.json: '* ]] || fail "backup to a full T: says not why"
  cmp -s "$tiny/unit.json" "$work/unit.json" || fail "backup to a full T: the old backup changed"
  [[ $(find "$tiny" -mindepth 1 | sort | tr '\n' ' ') == "$tiny/filler $tiny/journal.jsonl $tiny/unit.json " ]] ||
    fail "backup to a full T: left $(ls -A "$tiny")"

  run --port "$com" set --local 10.0.0.10 --journal 'T:\journal.jsonl'
  expect_status 1 "set with the journal on a full T:"
  [[ $(tr -d '\r' <"$work/err") == 'lumora-cli: cannot write the journal T:'?'journal.jsonl: '*'nothing was sent' ]] ||
    fail "set with the journal on a full T: says not why"
  cmp -s "$tiny/journal.jsonl" "$work/journal.jsonl" || fail "set with the journal on a full T: the journal changed"
  rm -f "$tiny/filler"
  run --port "$com" info
  expect_line "Local IP:             10.0.0.9" "info after the refused write"
else
  echo "cli_e2e: no drive that fills up here (mounting a tmpfs needs root): full-disk checks skipped"
fi

[[ $failures -eq 0 ]] || { echo "cli_e2e: $failures failures" >&2; exit 1; }
echo "cli_e2e: passed"
