# SPDX-License-Identifier: MIT
# The parts of bench/measure that need the kernel's own parts, sourced there:
# the driver's interfaces as devices of the namespace's own sysfs, and an
# older kernel's close_range().
ip neigh flush dev br0 nud all  # the scaling part's table goes
ip neigh replace 192.168.1.5 lladdr 02:c1:1e:00:00:05 dev br0 nud reachable
reader=$build/simulator/scenario_tool
ms() { timed "$@" | awk '{ printf "%.2f\n", $1 * 1000 }'; }  # medians, in ms

echo "### Missing radios: sysfs asked first"
echo
echo "The client on no radio, the driver simulator preloaded (it answers for the devices the namespace has). Whole-process instructions; wall medians side by side in one hyperfine run. This namespace's root cannot load modules: on a router the ioctl for a missing device also runs the kernel's module loader twice (see the machines)."
echo
header="| radios | instructions | syscalls | wall |"
rule="|---|---|---|---|"
[ -z "$before" ] || { header+=" before: instructions | before: syscalls | before: wall | wall vs before |"; rule+="---|---|---|---|"; }
echo "$header"
echo "$rule"
for row in "two:$root/simulator/scenarios/not-associated.scn" "one:$root/simulator/scenarios/single-band.scn" \
  "none (guest networks off):$root/simulator/scenarios/no-driver.scn"; do
  scenario=${row#*:}
  devices=$("$reader" network "$scenario" | awk '$1 == "interface" { print $2 }')
  k=0
  for device in $devices; do
    k=$((k + 1))
    ip link add "$device" type veth peer name "peer$k"
  done
  "$reader" driver "$scenario" > "$work/driver.record"
  export LD_PRELOAD=$build/simulator/libdriver_sim.so CLIENT_CHECK_SIM_DRIVER=$work/driver.record
  commands=("$tool 83994816")
  [ -z "$before" ] || commands+=("$before 83994816")
  mapfile -t walls < <(ms "${commands[@]}")
  line="| ${row%%:*} | $(instructions "$tool" 83994816) | $(syscalls -f "$tool" 83994816) | ${walls[0]} ms |"
  [ -z "$before" ] || line+=" $(instructions "$before" 83994816) | $(syscalls -f "$before" 83994816) | ${walls[1]} ms | $(ratio "${walls[0]}" "${walls[1]}") |"
  echo "$line"
  unset LD_PRELOAD CLIENT_CHECK_SIM_DRIVER
  for device in $devices; do ip link del "$device"; done
done
echo

echo "### The probe without close_range"
echo
echo "An unknown client (the probe goes to a logging stand-in), under the scenario reader's filter: close_range() answered ENOSYS, as before Linux 5.11, or not filtered; the same wrapper around each. System calls of the whole run (shell and stand-in included); wall medians side by side."
echo
stock=$root/simulator/scenarios/argument-zero.scn older=$root/simulator/scenarios/older-kernel.scn
header="| open-files limit | close_range: syscalls | ENOSYS: syscalls | close_range: wall | ENOSYS: wall |"
rule="|---|---|---|---|---|"
[ -z "$before" ] || { header+=" before, ENOSYS: syscalls | before, ENOSYS: wall |"; rule+="---|---|"; }
echo "$header"
echo "$rule"
hard=$(ulimit -Hn)
[ "$hard" != unlimited ] || hard=$(cat /proc/sys/fs/nr_open)
limits=(1024 20000)
[ "$hard" -le 20000 ] || limits+=("$hard")
for limit in "${limits[@]}"; do
  [ "$limit" -le "$hard" ] || continue
  run() { echo "prlimit --nofile=$limit:$limit $reader exec $1 $2 117549248"; }  # 192.168.1.7
  commands=("$(run "$stock" "$tool")" "$(run "$older" "$tool")")
  [ -z "$before" ] || commands+=("$(run "$older" "$before")")
  mapfile -t walls < <(ms "${commands[@]}")
  line="| $limit | $(syscalls -f $(run "$stock" "$tool")) | $(syscalls -f $(run "$older" "$tool")) | ${walls[0]} ms | ${walls[1]} ms |"
  [ -z "$before" ] || line+=" $(syscalls -f $(run "$older" "$before")) | ${walls[2]} ms |"
  echo "$line"
done
echo
