# Sourced by the test scripts: runs one suite through CTest and keeps a line of its count.
# GRIDLARK_SUMMARY names the file that collects the lines (the caller prints it).

summary_file=${GRIDLARK_SUMMARY:-}
suites_failed=0

note() { # line for the summary
  if [ -n "$summary_file" ]; then printf '%s\n' "$1" >>"$summary_file"; else printf '%s\n' "$1"; fi
}

suite() { # name build-folder [ctest arguments]
  local name=$1 dir=$2 log status=0
  shift 2
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@" 2>&1 | tee "$log" || status=$?
  local counts total=0 failed=0
  counts=$(sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+)$/\1 \2/p' "$log" |
    tail -1)
  rm -f "$log"
  [ -n "$counts" ] && read -r failed total <<<"$counts"
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi # no count: CTest itself failed
  note "$name: $((total - failed)) passed, $failed failed"
  [ "$status" -eq 0 ] || suites_failed=$((suites_failed + 1))
}
