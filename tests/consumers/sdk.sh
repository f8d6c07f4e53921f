# SPDX-License-Identifier: MIT
# What the firmware checks build with and check by, for firmware.sh
# (sourced): the SDK's compilers, standing in, and what a build installed.
# check_package SRC BUILD DEST FLAG LEVEL: what a firmware build installed
# into DEST and built in BUILD (SRC: its sources) is our programs' alone,
# each a program for target_compiler's machine, the tool with its version,
# compiled with the packager's FLAG and its optimisation LEVEL last.
check_package() {
  local src=$1 build=$2 dest=$3 flag=$4 level=$5 line elves
  (cd "$dest" && find . -type f | sort) > "$work/installed"
  printf './usr/%s\n' bin/client_check bin/client_check-explain share/client_check/address-helpers.sh \
    share/doc/client_check/LICENSE share/man/man1/client_check-explain.1 share/man/man1/client_check.1 |
    diff -u --label expected --label installed - "$work/installed" || fail "the install tree is not ours"
  for program in client_check client_check-explain; do
    readelf -h "$dest/usr/bin/$program" | grep -q "Machine: *$machine\$" ||
      fail "$program is not a program for $machine"
    cmake -DBINARY="$dest/usr/bin/$program" -DCOPY="$work/stripped" -DSTRIP="$strip" \
      -DREADELF=readelf -DBUDGET=any -P "$src/tests/footprint.cmake" || fail "$program needs more than the C library"
  done
  grep -qa "client_check $(sed -n 's/^project(client_check VERSION \([^ ]*\).*/\1/p' "$src/CMakeLists.txt")" \
    "$dest/usr/bin/client_check" || fail "no version in the tool"
  if [ -f "$build/build.ninja" ]; then
    line=$(ninja -C "$build" -t commands client_check | grep 'client_check/main\.cpp')
  else
    line=$(sed -n 's/^CXX_FLAGS = //p' "$build/CMakeFiles/client_check.dir/flags.make")
  fi
  case " $line " in *" $flag "*) ;; *) fail "the packager's $flag is not on the compile line: $line" ;; esac
  [ "$(grep -o -- ' -O[^ ]*' <<< " $line" | tail -n 1)" = " $level" ] ||
    fail "the packager's $level is not the optimisation level: $line"
  # Every ELF file but the compiler checks' is one of ours: no test program
  # was built, none could have been run.
  elves=$(find "$build" -path '*/CMakeFiles' -prune -o -type f -print |
    while read -r f; do [ "$(head -c 4 "$f" | od -An -c | tr -d ' ')" != 177ELF ] || echo "${f#"$build"/}"; done |
    sort | tr '\n' ' ')
  [ "$elves" = "bin/client_check bin/client_check-explain " ] ||
    [ "$elves" = "client_check client_check-explain " ] || fail "programs built beside ours: $elves"
  echo "$check: installed $(tr '\n' ' ' < "$work/installed")"
}

# target_compiler [x86_64]: Debian's ARM cross compiler (or the host's own,
# for an x86-64 target), and a staging root laid out as the firmware build
# systems' are (usr/include, usr/lib, lib).
target_compiler() {
  local triplet=arm-linux-gnueabihf root=/usr/arm-linux-gnueabihf
  machine=ARM
  if [ "${1:-arm}" = x86_64 ]; then
    triplet=x86_64-linux-gnu root=/usr machine='Advanced Micro Devices X86-64'
  fi
  command -v "$triplet-g++" > /dev/null || skip "no $triplet-g++"
  command -v ninja > /dev/null || skip "no ninja (ninja-build)"
  staging=$work/staging
  mkdir -p "$staging/usr"
  ln -s "$root/include" "$staging/usr/include"
  ln -s "$root/lib" "$staging/usr/lib"
  ln -s "$root/lib" "$staging/lib"
  cc=$(command -v "$triplet-gcc") cxx=$(command -v "$triplet-g++") strip=$triplet-strip
}

# musl_compiler TRIPLET: cc and cxx become TRIPLET-gcc and TRIPLET-g++, the
# cross compiler with musl's headers, the kernel's and the compiler's own
# (C++ ones included), and musl's start files and loader. The compiler's own
# C++ library was built for glibc: what the compiler checks link of it is
# linked statically.
musl_compiler() {
  local triplet=$1 includes="" dir tool
  local libraries="-specs=/usr/lib/arm-linux-musleabihf/musl-gcc.specs -static-libgcc"
  [ -r /usr/lib/arm-linux-musleabihf/musl-gcc.specs ] || skip "no musl-dev:armhf"
  mkdir -p "$work/sdk/bin" "$work/sdk/kernel"
  for dir in linux asm asm-generic; do ln -s "/usr/arm-linux-gnueabihf/include/$dir" "$work/sdk/kernel/$dir"; done
  for dir in $("$cxx" -x c++ -E -v - < /dev/null 2>&1 | sed -n '/search starts here:/,/End of search/p'); do
    dir=$(realpath -q "$dir") || continue
    case $dir in */c++/* | */gcc/*/include | */gcc-cross/*/include) includes="$includes -isystem $dir" ;; esac
  done
  for tool in gcc g++; do
    [ "$tool" = gcc ] || libraries="$libraries -static-libstdc++"
    printf '#!/bin/sh\nexec %s -nostdinc%s -isystem /usr/include/arm-linux-musleabihf -isystem %s %s "$@"\n' \
      "arm-linux-gnueabihf-$tool" "$includes" "$work/sdk/kernel" \
      "$libraries" > "$work/sdk/bin/$triplet-$tool"
    chmod +x "$work/sdk/bin/$triplet-$tool"
  done
  cc=$work/sdk/bin/$triplet-gcc cxx=$work/sdk/bin/$triplet-g++
}

