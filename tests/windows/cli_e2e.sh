#!/usr/bin/env bash
# End to end under Wine (inside tests/windows/run.sh): lumora-cli.exe lists
# the COM ports, reads the simulated unit on COM5, writes its settings with
# verification, commissions it from a plan, records both writes in the
# journal under %LOCALAPPDATA%\Lumora, finds the unit by scanning, stores
# the port number in the registry (read back with `wine reg query`), refuses
# the port mapping that Windows does not need, and reports a silent unit.
#
#   cli_e2e.sh WINDOWS_BUILD_DIR
set -euo pipefail
cli=$(realpath "$1")/lumora-cli.exe
work=${LUMORA_WINE_WORK:?run inside tests/windows/run.sh}
com=COM$LUMORA_COM_SIM
failures=0

# Runs lumora-cli.exe with ARGS; its output goes to files (out, err), the
# exit status to $status.
run() {
  status=0
  (cd "$work" && exec timeout 60 wine "$cli" "$@") >"$work/out" 2>"$work/err" </dev/null || status=$?
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

run --version
expect_status 0 "--version"
expect_line "lumora-cli 1.2.0" "--version"

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
run --port "$com" info
expect_line "Local IP:             192.168.1.77" "info after set"
expect_line "Subnet mask:          255.255.0.0" "info after set"

# The commissioning engine: the unit attached now gets the plan's settings.
printf 'serial,dhcp,local,server,gateway,mask\r\n0612345678,off,10.0.0.5,10.0.0.1,10.0.0.254,255.0.0.0\r\n' >"$work/plan.csv"
run --port "$com" commission --once plan.csv
expect_status 0 "commission --once"
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
wine reg query 'HKCU\ComSetup.INI\COMSetup' /v COM >"$work/reg.out" 2>"$work/reg.err" </dev/null || true
grep -qE "^ +COM +REG_SZ +$LUMORA_COM_SIM\$" <(tr -d '\r' <"$work/reg.out") ||
  fail "reg query: the stored port is not $LUMORA_COM_SIM: $(cat "$work/reg.out")"
run info
expect_status 0 "info on the stored port"

run port map COM3 'C:\dev'
expect_status 2 "port map"
grep -q "not needed on Windows" "$work/err" || fail "port map: does not say it is not needed"
run port unmap COM3
expect_status 2 "port unmap"

run --port "COM$LUMORA_COM_SILENT" info
expect_status 1 "info on a silent unit"

[[ $failures -eq 0 ]] || { echo "cli_e2e: $failures failures" >&2; exit 1; }
echo "cli_e2e: passed"
