# SPDX-License-Identifier: MIT
# Reads tests/matrix; sourced by tests/run, tests/end_to_end/on-router and
# the machine scripts of simulator/.
#   matrix_section TITLE      prints the lines of section "## TITLE", without
#                             comments and blank lines
#   configuration_names       the configurations' names, one a line
#   read_configuration NAME   sets config_toolchain, config_options,
#                             config_packages, config_budget, config_machine;
#                             false when there is no such configuration
#   machine_names             the machines' names, one a line
#   read_machine NAME         sets machine_packages, machine_qemu (an array),
#                             machine_console, machine_9p, machine_flavour,
#                             machine_arch (Debian's), machine_karch,
#                             machine_cross, machine_transport,
#                             machine_busybox and machine_builds (an array: the
#                             configurations that name it); false when none
#   build_calls NAME          the system calls configuration NAME makes
# Run as a command, it prints a configuration's line for tests/CMakeLists.txt:
#   bash tests/matrix-reader.sh configuration NAME   TOOLCHAIN|OPTIONS|PACKAGES|BUDGETS|MACHINE,
#                                             or fails when NAME has no line
# CLIENT_CHECK_MATRIX names another matrix file (tests/world-rules plants one).
matrix_file=${CLIENT_CHECK_MATRIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/matrix}
matrix_section() {
  awk -v title="## $1" '/^## / { on = ($0 == title); next } on && !/^#/ && NF' "$matrix_file"
}
# matrix_line SECTION NAME: the line of NAME in SECTION, its fields trimmed.
matrix_line() {
  matrix_section "$1" | awk -F'|' -v name="$2" '{ sub(/ +$/, "", $1) } $1 == name {
      for (i = 1; i <= NF; i++) { gsub(/^ +| +$/, "", $i); printf "%s%s", $i, (i < NF ? "|" : "\n") }
      found = 1; exit }
    END { exit !found }'
}
configuration_names() { matrix_section configurations | sed 's/ *|.*//'; }
read_configuration() {
  local line
  line=$(matrix_line configurations "$1") || return 1
  IFS='|' read -r _ config_toolchain config_options config_packages config_budget config_machine <<< "$line"
}
machine_names() { matrix_section machines | sed 's/ *|.*//'; }
read_machine() {
  local line qemu kernel name
  line=$(matrix_line machines "$1") || return 1
  IFS='|' read -r _ machine_packages qemu machine_console machine_9p kernel machine_karch machine_cross \
    machine_transport machine_busybox <<< "$line"
  read -ra machine_qemu <<< "$qemu"
  machine_flavour=${kernel%%:*} machine_arch=${kernel##*:}
  machine_builds=()
  for name in $(configuration_names); do
    read_configuration "$name"
    [ "$config_machine" != "$1" ] || machine_builds+=("$name")
  done
}
build_calls() {
  matrix_section "system calls" | awk -F'|' -v build="$1" '{
      n = split($3, builds, " ")
      for (i = 1; i <= n; i++) if (builds[i] == build || builds[i] == "*") { sub(/ +$/, "", $1); print $1 }
    }'
}
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  [ "${1:-}" = configuration ] && [ $# -eq 2 ] ||
    { echo "usage: bash tests/matrix-reader.sh configuration NAME" >&2; exit 2; }
  read_configuration "$2" ||
    { echo "tests/matrix: no configuration '$2' (its line starts with the name, then '|')" >&2; exit 1; }
  printf '%s|%s|%s|%s|%s\n' "$config_toolchain" "$config_options" "$config_packages" "$config_budget" \
    "$config_machine"
fi
