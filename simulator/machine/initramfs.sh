# SPDX-License-Identifier: MIT
# The emulated router's initramfs, for machine-kit (sourced, once the
# kernel, its modules and the driver stand-in are in place): busybox, the
# router's own scripts, each build's programs, and the kernel beside it.
# copy_libraries BIN: a dynamic tool's loader and libraries, from the -L ROOT
# of the emulator its build's tests run under.
copy_libraries() {
  local bin=$1 interpreter libroot library found
  interpreter=$(LC_ALL=C readelf -l "$bin" | sed -n 's/.*program interpreter: \(.*\)]$/\1/p')
  [ -n "$interpreter" ] || return 0
  libroot=$(sed -n 's/.* -L \([^ ]*\).*/\1/p' "$(dirname "$bin")/tests/emulator" 2> /dev/null || true)
  [ -n "$libroot" ] || die "$bin is dynamic, and its build names no root for its C library"
  mkdir -p "$stage$(dirname "$interpreter")"
  cp -L "$libroot$interpreter" "$stage$interpreter"
  for library in $(LC_ALL=C readelf -d "$bin" | sed -n 's/.*Shared library: \[\(.*\)\]$/\1/p'); do
    found=$(find -L "$libroot/lib" "$libroot/usr/lib" -maxdepth 2 -name "$library" 2> /dev/null | head -n 1)
    [ -n "$found" ] || die "no $library under $libroot"
    cp -L "$found" "$stage/lib/$library"
  done
}

# The initramfs, world-readable (for the rows run as nobody).
stage=$out/root
rm -rf "$stage"
moddir=$stage/lib/modules/$abi-$flavour
mkdir -p "$stage"/{bin,sbin,usr/bin,usr/lib/client_check/builds,etc,proc,sys,dev,tmp,run,root} "$moddir"
chmod 755 "$out" "$stage"
dpkg-deb --fsys-tarfile "$busybox" | tar -x -C "$stage" ./bin/busybox
cp "$tree"/modules/*.ko "$module/wl_sim.ko" "$moddir/"
{ cat "$tree/modules/order"; echo wl_sim; } > "$stage/lib/modules/order"
printf 'root:x:0:0:root:/root:/bin/sh\nnobody:x:65534:65534:nobody:/:/bin/sh\n' > "$stage/etc/passwd"
printf 'root:x:0:\nnogroup:x:65534:\n' > "$stage/etc/group"
install -m 755 "$here/init" "$stage/init"
install -m 755 "$here/scenario" "$simulator/settle" "$simulator/arping" "$stage/usr/bin/"
install -m 755 "$here/modprobe" "$stage/sbin/modprobe"
# Each build's tool and scenario reader; the first one active.
for bin in "$@"; do
  dir=$(dirname "$(realpath "$bin")")
  name=$(basename "$dir")
  build=$stage/usr/lib/client_check/builds/$name
  [ ! -e "$build" ] || die "two builds named $name"
  [ -x "$dir/simulator/scenario_tool-target" ] ||
    die "no $dir/simulator/scenario_tool-target: build $dir with -DCLIENT_CHECK_SIMULATOR=ON"
  mkdir -p "$build"
  install -m 755 "$bin" "$build/client_check"
  install -m 755 "${bin%/*}/client_check-explain${bin##*/client_check}" "$build/client_check-explain"
  install -m 755 "$dir/simulator/scenario_tool-target" "$build/scenario_tool"
  [ -e "$stage/usr/lib/client_check/active" ] || ln -s "builds/$name" "$stage/usr/lib/client_check/active"
  copy_libraries "$bin"
done
ln -s active/client_check "$stage/usr/lib/client_check/client_check"
ln -s /usr/lib/client_check/client_check "$stage/usr/bin/client_check"
ln -s active/client_check-explain "$stage/usr/lib/client_check/client_check-explain"
ln -s /usr/lib/client_check/client_check-explain "$stage/usr/bin/client_check-explain"
ln -s /usr/lib/client_check/active/scenario_tool "$stage/usr/bin/scenario_tool"

(cd "$stage" && find . | LC_ALL=C sort | cpio -o -H newc -R 0:0 --quiet | gzip -1) > "$out/base.cpio.gz"
cp "$tree/image/boot/vmlinuz-$abi-$flavour" "$out/kernel"
