# SPDX-License-Identifier: MIT
# Comparing what a run of a row left with the row read last (read_row of
# row-table.sh), for tests/end_to_end/on-router. Sourced.

# What the tool asks of a driver, from the scenario reader: the radios'
# interfaces (secondary, primary) and a ready primary's variables (ready).
names() { "$CLIENT_CHECK_SCENARIO_TOOL" names | sed -n "s/^$1 //p"; }

# Expected lines as written: {EACH RADIO}TEXT stands for TEXT once per radio,
# {READY IFNAME} for the requests of a ready primary's variables.
expand_lines() {
  local line radio var
  while IFS= read -r line; do
    case $line in
      "{EACH RADIO}"*) for radio in $(names secondary); do printf '%s\n' "${line#"{EACH RADIO}"}"; done ;;
      "{READY "*"}") for var in $(names ready); do echo "${line:7:-1} 262 len=100 set=0 var=$var"; done ;;
      *) printf '%s\n' "$line" ;;
    esac
  done
}

# {ENAME} in TEXT: the text the tool's own C library gives that errno.
expand_errnos() {
  local text=$1 name meaning
  while [[ $text =~ \{(E[A-Z0-9]+)\} ]]; do
    name=${BASH_REMATCH[1]}
    # shellcheck disable=SC2086 # the emulator is words
    meaning=$(${CLIENT_CHECK_EMULATOR:-} "$CLIENT_CHECK_ERRNO_TEXT" "$name") || return 1
    text=${text//"{$name}"/$meaning}
  done
  printf '%s' "$text"
}

# ends_with_status RUN STATUS: the companion's account in OUT/RUN.stdout
# ends with its status, unless the caller closed its stdout.
ends_with_status() {
  [ "$row_under" = "caller closed-stdio" ] || tail -n 1 "$out/$1.stdout" | grep -q "^status $2: " || {
    echo "client_check-explain's account ($1) does not end with its status $2:"
    tail -n 3 "$out/$1.stdout"
    failed=1
  }
}

# compare_row OUT: compares OUT/exits, stdout, stderr, driver.log,
# probe.log, the companion's results and valgrind's logs with the row read
# last; prints the differences; false on one.
compare_row() {
  local out=$1 failed=0 text
  expect() {  # expect WHAT WANTED-FILE GOT-FILE
    if ! diff -u --label "expected $1" --label "actual $1" "$2" "$3"; then failed=1; fi
  }
  printf '%s\n' "${row_exits[@]}" > "$out/want_exits"
  expect "exit statuses" "$out/want_exits" "$out/exits"
  expect stdout /dev/null "$out/stdout"
  text=$(expand_errnos "$(trim "$row_stderr")") || return 1
  if [ -n "$text" ]; then printf '%b\n' "$text"; fi | expand_lines > "$out/want_stderr"
  expect stderr "$out/want_stderr" "$out/stderr"
  text=$(trim "$row_probe")
  text=${text//\{PROBE\}/$(probe_line "$row_dotted")}
  if [ -n "$text" ]; then printf '%b\n' "$text"; fi > "$out/want_probe"
  expect "probe log" "$out/want_probe" "$out/probe.log"
  if [ "$row_log" != - ]; then
    expand_lines < "$rows_dir/expected/$row_log" > "$out/want_driver"
    expect "driver log" "$out/want_driver" "$out/driver.log"
  fi
  # The companion: the tool's requests and messages (the usage line its
  # own), its status, and its account ending in that status.
  echo "$row_explain" > "$out/want_explain_exit"
  expect "client_check-explain's status" "$out/want_explain_exit" "$out/explain.exit"
  expect "client_check-explain's requests" "$out/last-run.log" "$out/explain.log"
  sed 's/^usage: client_check ADDRESS_WORD$/usage: client_check-explain [--version] [ADDRESS_WORD]/' \
    "$out/want_stderr" > "$out/want_explain_stderr"
  expect "client_check-explain's stderr" "$out/want_explain_stderr" "$out/explain.stderr"
  ends_with_status explain "$row_explain"
  # With no argument, where the call examined every radio: the same
  # requests, messages and status; where it found the client, the client
  # among the stations, with its address.
  case $row_explain in
    0 | 3)
      expect "client_check-explain's status with no argument" "$out/want_explain_exit" \
        "$out/stations.exit"
      expect "client_check-explain's requests with no argument" "$out/explain.log" "$out/stations.log"
      expect "client_check-explain's stderr with no argument" "$out/explain.stderr" \
        "$out/stations.stderr"
      ends_with_status stations "$row_explain" ;;
    1)
      [ "$row_under" = "caller closed-stdio" ] ||
        grep -q "^  station [0-9]*: .* $row_dotted\$" "$out/stations.stdout" || {
        echo "client_check-explain with no argument does not list $row_dotted:"
        cat "$out/stations.stdout"
        failed=1
      } ;;
  esac
  # Under valgrind: descriptors open at exit beyond the standard three,
  # other than those the tool inherited, were left open by the tool.
  if [ "$row_under" = valgrind ]; then
    for text in "$out"/valgrind.*.log; do
      awk '/== Open / { open = $0; next }
           open != "" { if ($0 !~ /inherited from parent/) { print "left open: " open; bad = 1 }
                        open = "" }
           END { exit bad }' "$text" || failed=1
    done
    grep -q "FILE DESCRIPTORS" "$out"/valgrind.*.log || { echo "valgrind did not track descriptors"; failed=1; }
  fi
  return "$failed"
}
