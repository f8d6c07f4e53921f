# SPDX-License-Identifier: MIT
# The scaling part of bench/measure, sourced there: the tool against ARP
# tables of 1, 256, 1024 and 16384 entries, beside the tool before, an awk
# lookup and the static musl build.

echo "### Scaling with the ARP table (the client on its last line)"
echo
header="| entries | instructions | per line | table reads | wall | system |"
rule="|---|---|---|---|---|---|"
[ -z "$before" ] || { header+=" before: instructions | before: reads | before: wall | wall vs before |"; rule+="---|---|---|---|"; }
header+=" awk: instructions | awk: wall |" rule+="---|---|"
[ -z "$musl" ] || { header+=" musl: instructions | musl: per line |"; rule+="---|---|"; }
echo "$header"
echo "$rule"
fill() {  # fill N: a table of N entries, as a scenario's arp-fill makes it
  ip neigh flush dev br0 > /dev/null 2>&1 || true
  echo "arp-fill $1" > "$work/fill.scn"
  "$build/simulator/scenario_tool" neighbours "$work/fill.scn"
}
first= musl_first=
declare -A counts musl_counts
for n in 1 256 1024 16384; do
  fill "$n"
  last=$(awk 'END { print $1 }' /proc/net/arp)
  arg=$(word "$last")
  count=$(instructions "$tool" "$arg")
  counts[$n]=$count
  [ -n "$first" ] || first=$count
  per_line=—
  [ "$n" = 1 ] || per_line=$(((count - first) / (n - 1)))
  commands=("$tool $arg")
  [ -z "$before" ] || commands+=("$before $arg")
  commands+=("awk -v ip=$last \$1==ip{print\$4;exit} /proc/net/arp")
  mapfile -t times < <(timed "${commands[@]}")
  read -r wall sys <<< "${times[0]}"
  row="| $n | $count | $per_line | $(table_reads "$tool" "$arg") | $(in_ms "$wall") | $(in_ms "$sys") |"
  if [ -n "$before" ]; then
    read -r bwall _ <<< "${times[1]}"
    row+=" $(instructions "$before" "$arg") | $(table_reads "$before" "$arg") | $(in_ms "$bwall") |"
    row+=" $(ratio "$wall" "$bwall") |"
  fi
  read -r awall _ <<< "${times[${#times[@]} - 1]}"
  row+=" $(instructions awk -v ip="$last" '$1==ip{print$4;exit}' /proc/net/arp) | $(in_ms "$awall") |"
  if [ -n "$musl" ]; then
    mcount=$(instructions "$musl/client_check" "$arg")
    musl_counts[$n]=$mcount
    [ -n "$musl_first" ] || musl_first=$mcount
    mper=—
    [ "$n" = 1 ] || mper=$(((mcount - musl_first) / (n - 1)))
    row+=" $mcount | $mper |"
  fi
  echo "$row"
done
echo
slope=$(((counts[16384] - counts[1024]) / (16384 - 1024)))
echo "Instructions per line between 1024 and 16384 entries: $slope."
# The word-at-a-time scan of a kernel-written line, held within 10 % of its
# measured cost (477 on x86-64 glibc): a line that goes to the C library's
# sscanf() instead costs several times as much.
if [ "$slope" -gt 525 ]; then
  echo "bench: $slope instructions per line of the kernel's table, over the 525 the scan may take" >&2
  exit 1
fi
if [ -n "$musl" ]; then
  echo "On static musl: $(((musl_counts[16384] - musl_counts[1024]) / (16384 - 1024))) instructions per line between 1024 and 16384 entries."
fi
echo "One-entry run, client present and no radios: $((counts[1] - empty_instructions)) instructions above the empty program."
bytes=$(wc -c < /proc/net/arp)
echo "The 16384-entry table is $bytes bytes; procfs hands out at most one page per read()."
echo
