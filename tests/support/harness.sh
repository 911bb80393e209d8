# shellcheck shell=bash
# Shared by the tests that run the program as a process. Sourced with the
# test's name:
#   source "$(dirname "$0")/../support/harness.sh" "commission process test"
# Gives a work folder that is removed at the end, with every process whose
# id is added to pids ended first; fail, which says why and shows the end of
# every log in the work folder; and wait_for, which waits up to twenty
# seconds for a command to succeed.
harness_name=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    { kill "$pid" && wait "$pid"; } 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$harness_name: $*" >&2
  for log in "$work"/*.log; do
    echo "--- $(basename "$log")" >&2
    tail -n 40 "$log" >&2
  done
  exit 1
}
wait_for() {
  for _ in $(seq 400); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}
