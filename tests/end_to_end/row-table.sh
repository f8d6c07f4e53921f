# SPDX-License-Identifier: MIT
# Reading a row of cases.txt and comparing what a run of it left, for
# tests/end_to_end/on-router. Sourced.

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

# The probe the tool starts for ADDRESS (dotted), as the routers log it.
probe_line() {
  local probe
  probe=$(sed -n 's/^{PROBE} = //p' "$rows_dir/cases.txt")
  printf '%s\n' "${probe//\{ADDRESS\}/$1}"
}

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

# tool_word TEXT: the word the tool reads from TEXT: strtoul in base 10 into
# 32 bits (white space and a sign first, digits up to the first other
# character, a larger magnitude saturated, a minus sign modulo 2^32).
tool_word() {
  local text=$1 negative=0 digits value
  text=${text#"${text%%[!$' \t\n\v\f\r']*}"}
  case $text in -*) negative=1 text=${text#-} ;; +*) text=${text#+} ;; esac
  [[ $text =~ ^[0-9]+ ]] || { echo 0; return; }
  digits=${BASH_REMATCH[0]}
  digits=${digits#"${digits%%[!0]*}"}
  value=4294967295
  [ ${#digits} -gt 10 ] || value=$((10#${digits:-0} > 4294967295 ? 4294967295 : 10#${digits:-0}))
  [ "$negative" = 0 ] || [ "$value" = 4294967295 ] || value=$(((4294967296 - value) % 4294967296))
  echo "$value"
}

# read_row NAME: sets row_scenario (absolute), row_words (the arguments, split
# as the shell splits words, "..." or '...' holding white space; a dotted
# address, and {WORD a.b.c.d} in any argument, turned into the address word
# by the helpers the build under test installs, CLIENT_CHECK_HELPERS: its
# router's byte order), row_dotted and row_address (the address the tool
# reads from the first argument), row_exits (an array), row_stderr, row_log,
# row_probe, row_under, row_kernel and row_explain (client_check-explain's
# status: the tool's last one, or 3 where the tool answers 0 without having
# asked every radio). A number written as it stands must mean the same
# address on either byte order; a row that breaks a rule is refused.
read_row() {
  local row arg scenario args exits explain word dotted
  row=$(grep -E "^$1[[:space:]]*\|" "$rows_dir/cases.txt") || { echo "no case $1" >&2; return 1; }
  IFS='|' read -r _ scenario args exits row_stderr row_log row_probe row_under row_kernel explain \
    <<< "$row"
  scenario=$(trim "$scenario")
  [ -f "$rows_root/$scenario" ] || { echo "case $1: no scenario file '$scenario'" >&2; return 1; }
  [ -n "$(trim "$exits")" ] || { echo "case $1: no exit statuses" >&2; return 1; }
  row_scenario=$rows_root/$scenario
  row_log=$(trim "$row_log")
  row_under=$(trim "$row_under")
  row_kernel=$(trim "$row_kernel")
  explain=$(trim "$explain")
  row_words=()
  while IFS= read -r -d '' arg; do
    if word=$( (. "$CLIENT_CHECK_HELPERS" && ip_word "$arg")); then
      arg=$word
    elif [[ $arg != *"{WORD "* ]]; then
      word=$(tool_word "$arg")
      [ $((word >> 24)) = $((word & 255)) ] && [ $((word >> 16 & 255)) = $((word >> 8 & 255)) ] ||
        [ ${#row_words[@]} -gt 0 ] || {
        echo "case $1: '$arg' is another address on each byte order: write it dotted, or {WORD a.b.c.d}" >&2
        return 1
      }
    fi
    while [[ $arg =~ \{WORD\ ([0-9.]+)\} ]]; do
      dotted=${BASH_REMATCH[1]}
      word=$(. "$CLIENT_CHECK_HELPERS" && ip_word "$dotted") || { echo "case $1: {WORD $dotted}" >&2; return 1; }
      arg=${arg//"{WORD $dotted}"/$word}
    done
    row_words+=("$arg")
  done < <(xargs -r printf '%s\0' <<< "$args")
  row_dotted=$(. "$CLIENT_CHECK_HELPERS" && word_ip "$(tool_word "${row_words[0]:-}")")
  row_address=$row_dotted
  read -r -a row_exits <<< "$(trim "$exits")"
  row_explain=${row_exits[${#row_exits[@]} - 1]}
  if [ -n "$explain" ]; then
    [ "$explain" = 3 ] && [ "$row_explain" = 0 ] ||
      { echo "case $1: its explain column holds 3 alone, where the tool answers 0" >&2; return 1; }
    row_explain=3
  fi
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

# compare_row OUT: compares OUT/exits, stdout, stderr, driver.log and
# probe.log with the row read last; prints the differences; false on one.
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
  return "$failed"
}
