# SPDX-License-Identifier: MIT
# What the selected configurations and their machines need, installed for
# tests/run, which sources this with `selected` set: the first
# configuration's packages at once, the rest in the background while it
# builds and runs its tests (their output and exit status in
# build/packages.log and build/packages.status). Sets machines_used,
# first_configuration and installer (the background install's process), and
# defines await_packages,
# which every later build and the uClibc-ng sysroots call first.
packages=$(matrix_section "packages every configuration needs") machines_used=()
for name in "${selected[@]}"; do
  read_configuration "$name" ||
    { echo "tests/run: no configuration '$name' in tests/matrix: $(configuration_names | xargs)" >&2; exit 2; }
  packages="$packages $config_packages"
  [ "$config_machine" = - ] || [[ " ${machines_used[*]} " == *" $config_machine "* ]] ||
    machines_used+=("$config_machine")
done
for machine in "${machines_used[@]}"; do
  read_machine "$machine"
  packages="$packages $machine_packages gcc-${machine_cross%-} cpio kmod xz-utils"
done
first_configuration=${selected[0]}
read_configuration "$first_configuration"
first=$(matrix_section "packages every configuration needs")" $config_packages"
echo "=== packages" >&2
# shellcheck disable=SC2086 # the packages are words
tests/ensure-packages $first
mkdir -p build
rm -f build/packages.status
# shellcheck disable=SC2046 # the packages are words
{ tests/ensure-packages $(tr ' ' '\n' <<< "$packages" | awk -v first="$first" '
    BEGIN { n = split(first, f, " "); for (i = 1; i <= n; i++) seen[f[i]] = 1 }
    NF && !seen[$0]++') > build/packages.log 2>&1
  echo $? > build/packages.status; } &
installer=$!
await_packages() {
  while [ ! -e build/packages.status ]; do sleep 1; done
  [ "$(cat build/packages.status)" = 0 ] ||
    { echo "tests/run: installing the packages failed:"; tail -n 20 build/packages.log; return 1; }
}

