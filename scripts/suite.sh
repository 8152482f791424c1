# Sourced by the test scripts: runs one suite through CTest and keeps a line of its count.
# GRIDLARK_SUMMARY names the file that collects the lines (the caller prints it).

set -o pipefail # a failed CTest must not pass for tee's success
summary_file=${GRIDLARK_SUMMARY:-}
suites_failed=0

note() { # line for the summary
  if [ -n "$summary_file" ]; then printf '%s\n' "$1" >>"$summary_file"; else printf '%s\n' "$1"; fi
}

# One CTest run, shown and kept in the log.
run_ctest() { # log build-folder [ctest arguments]
  local log=$1 dir=$2
  shift 2
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log"
}

suite() { # name build-folder [ctest arguments]
  local name=$1 dir=$2 log status=0 counts
  shift 2
  log=$(mktemp)
  run_ctest "$log" "$dir" "$@" || status=$?
  counts=$(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+)$/\1 \2/p' "$log")
  if [ "$status" -ne 0 ] && [ -z "$counts" ] && [ -n "${SUITE_RETRY_SETUP:-}" ]; then
    # Under Wine, listing a program's tests now and then fails before any test ran (a session
    # still starting on a loaded machine): that is the harness, not a verdict, so once more.
    echo "$name: CTest stopped before running a test; once more"
    status=0
    run_ctest "$log" "$dir" "$@" || status=$?
    counts=$(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+)$/\1 \2/p' "$log")
  fi
  rm -f "$log"
  local total=0 failed=0
  [ -n "$counts" ] && read -r failed total <<<"$(tail -1 <<<"$counts")"
  local passed=$((total - failed))
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi # no count: CTest itself failed
  note "$name: $passed passed, $failed failed"
  [ "$status" -eq 0 ] || suites_failed=$((suites_failed + 1))
}
