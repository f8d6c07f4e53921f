# SPDX-License-Identifier: MIT
# read_machine NAME: sets machine_package (qemu's), machine_qemu (an array), machine_console,
# machine_9p, machine_flavour, machine_arch (Debian's), machine_karch,
# machine_cross, machine_transport, machine_busybox and machine_builds (an
# array) from NAME's line of simulator/machines; false when it has none.
# machine_names: the names, one a line.
machine_table=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/machines
machine_names() { sed -n 's/^\([a-z0-9][a-z0-9_-]*\) *|.*/\1/p' "$machine_table"; }
read_machine() {
  local line qemu kernel builds
  line=$(grep -E "^$1 +\|" "$machine_table") || return 1
  IFS='|' read -r _ machine_package qemu machine_console machine_9p kernel machine_karch machine_cross \
    machine_transport machine_busybox builds <<< "$line"
  read -ra machine_qemu <<< "$qemu"
  read -ra machine_builds <<< "$builds"
  read -r machine_package <<< "$machine_package"
  read -r machine_console <<< "$machine_console"
  read -r machine_9p <<< "$machine_9p"
  read -r machine_karch <<< "$machine_karch"
  read -r machine_cross <<< "$machine_cross"
  read -r machine_transport <<< "$machine_transport"
  read -r machine_busybox <<< "$machine_busybox"
  read -r kernel <<< "$kernel"
  machine_flavour=${kernel%%:*} machine_arch=${kernel##*:}
}
