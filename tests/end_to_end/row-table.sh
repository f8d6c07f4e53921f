# SPDX-License-Identifier: MIT
# Reading a row of cases.txt, for tests/end_to_end/on-router and the demo
# (row-compare.sh compares what a run of it left). Sourced.

trim() { local s=$1; s=${s#"${s%%[![:space:]]*}"}; printf '%s' "${s%"${s##*[![:space:]]}"}"; }

# The probe the tool starts for ADDRESS (dotted), as the routers log it.
probe_line() {
  local probe
  probe=$(sed -n 's/^{PROBE} = //p' "$rows_dir/cases.txt")
  printf '%s\n' "${probe//\{ADDRESS\}/$1}"
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
