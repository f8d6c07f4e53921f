# SPDX-License-Identifier: MIT
# The counters of the benchmark, for bench/measure and what it sources:
# each runs a command and prints one figure. Sourced; uses $work (scratch
# files) and $runs (timed runs per command).

instructions() {
  { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 || true; } |
    sed -n 's/.*Collected : //p'
}
syscalls() {  # of the command's own process; with -f first, of all it starts
  local follow=
  [ "$1" != -f ] || { follow=-f; shift; }
  strace $follow -c -o "$work/strace" "$@" > /dev/null 2>&1 || true
  awk '$NF == "total" { print $4 }' "$work/strace"
}
# read() calls on the ARP table's descriptor.
table_reads() {
  strace -e trace=openat,open,read -o "$work/reads" "$@" > /dev/null 2>&1 || true
  awk '/"\/proc\/net\/arp"/ { split($0, r, "= "); fd = r[2] + 0; next }
       fd != "" && $0 ~ "^read\\(" fd "," { n++ }
       END { print n + 0 }' "$work/reads"
}
peak_rss() {
  /usr/bin/time -o "$work/rss" -f %M "$@" > /dev/null 2>&1 || true
  tail -1 "$work/rss"
}
# The deepest the stack went, the C library's and the loader's included.
peak_stack() {
  valgrind --tool=massif --stacks=yes --heap=no --massif-out-file="$work/massif" "$@" \
    > /dev/null 2>&1 || true
  awk -F= '/mem_stacks_B/ { if ($2 + 0 > m) m = $2 + 0 } END { printf "%.1f KiB", m / 1024 }' \
    "$work/massif"
}
heap_allocs() {
  { valgrind "$@" 2>&1 || true; } | sed -n 's/.*total heap usage: \([0-9,]*\) allocs.*/\1/p'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
in_ms() { awk -v s="$1" 'BEGIN { printf "%.2f ms", s * 1000 }'; }
# hyperfine medians (seconds) and mean system times of several commands run
# side by side: prints "median system" per command, in order.
timed() {
  hyperfine -N -i --warmup 2 --runs "$runs" --export-csv "$work/times.csv" "$@" > /dev/null 2>&1
  awk -F, 'NR > 1 { print $4, $6 }' "$work/times.csv"
}

