# SPDX-License-Identifier: MIT
# The test command's summary: what each configuration and machine passed,
# failed and skipped, each failure and skip named with its first line of
# why, and whether the run failed. Sourced by tests/run (and by
# tests/world-rules, which plants results to check these rules).
#   configuration_result NAME CTEST_OUTPUT LAST_TEST_LOG ELAPSED
#   configuration_unbuilt NAME
#   machine_result MACHINE STATUS LOG      a machine's table, as on-router logs it
#   machines_not_run USED... -- RAN...     the machines that should have run
#   summary_print                          prints it all; false when the run failed
# allow_skips=1 counts a skip apart without failing the run.
summary=() skips=() failures=() bad=0 allow_skips=${allow_skips:-0}

# first_line TEST LOG WHICH: of TEST's output in ctest's LOG, the first line
# (WHICH first), or the one that says it was skipped (skip), else the last.
first_line() {
  awk -v test="$1" -v which="$3" '/^[0-9]+\/[0-9]+ Test: / { on = ($3 == test); out = 0; next }
    on && /^Output:$/ { out = 1; next } on && out == 1 && /^-+$/ { out = 2; next }
    on && /^<end of output>/ { print last; exit }
    on && out == 2 && NF { if (which == "first") { print; exit } last = $0 }
    on && out == 2 && which == "skip" && tolower($0) ~ /skip/ { print; exit }' "$2"
}

configuration_result() {
  local name=$1 results passed failed skipped test reason
  results=$(grep -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: ' "$2" || true)
  passed=$(grep -c ' Passed ' <<< "$results" || true)
  skipped=$(grep -c '\*\*\*Skipped' <<< "$results" || true)
  failed=$(($(grep -c . <<< "$results" || true) - passed - skipped))
  summary+=("$(printf '%-22s %3d passed, %d failed, %d skipped (%s)' "$name" "$passed" "$failed" "$skipped" "$4")")
  [ "$failed" -eq 0 ] || bad=1
  [ "$skipped" -eq 0 ] || [ "$allow_skips" = 1 ] || bad=1
  for test in $(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Skipped.*/\1/p' <<< "$results"); do
    reason=$(first_line "$test" "$3" skip)
    skips+=("$name $test: ${reason:-no reason given}")
  done
  for test in $(grep -v -e ' Passed ' -e '\*\*\*Skipped' <<< "$results" | sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*/\1/p'); do
    reason=$(first_line "$test" "$3" first)
    failures+=("$name $test: ${reason:-no output}")
  done
}

configuration_unbuilt() {
  summary+=("$(printf '%-22s did not build (build/%s.log)' "$1" "$1")")
  failures+=("$1: did not build")
  bad=1
}

machine_result() {
  local machine=$1 status=$2 log=$3 line build passed failed failure
  line=$(printf '%-22s' "$machine machine")
  for build in $(sed -n 's/^\([^ ]*\) [^ ]*: \(passed\|FAILED\) (.*/\1/p' "$log" | sort -u); do
    passed=$(grep -c "^$build [^ ]*: passed" "$log" || true)
    failed=$(grep -c "^$build [^ ]*: FAILED" "$log" || true)
    line="$line $build: $passed passed, $failed failed;"
  done
  while IFS= read -r failure; do
    failures+=("$machine machine, $failure")
  done < <(awk '/^[^ ]+ [^ ]+: FAILED / { name = $1 " " $2; next }
    name != "" && NF { print name " " $0; name = "" }' "$log")
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    line="$line the table failed ($status, $log)"
    failures+=("$machine machine: the table failed ($status): $(grep -m 1 . "$log" || echo "no output")")
    bad=1
  fi
  summary+=("$line")
}

machines_not_run() {
  local used=() machine
  while [ $# -gt 0 ] && [ "$1" != -- ]; do used+=("$1"); shift; done
  shift
  for machine in "${used[@]}"; do
    [[ " $* " == *" $machine "* ]] && continue
    summary+=("$(printf '%-22s not run: a build of it did not build' "$machine machine")")
    failures+=("$machine machine: not run")
    bad=1
  done
}

summary_print() {
  printf '  %s\n' "${summary[@]}" >&2
  [ ${#failures[@]} -eq 0 ] || printf '  failed: %s\n' "${failures[@]}" >&2
  [ ${#skips[@]} -eq 0 ] || printf '  skipped: %s\n' "${skips[@]}" >&2
  [ ${#skips[@]} -eq 0 ] || [ "$allow_skips" = 0 ] ||
    echo "  (skips allowed by --allow-skips: they are not passes)" >&2
  if [ "$bad" -ne 0 ]; then
    echo "=== FAILED: a check failed, was skipped or did not build (see above)" >&2
    return 1
  fi
  echo "=== every check passed" >&2
}
