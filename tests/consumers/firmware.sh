# SPDX-License-Identifier: MIT
# The firmware build systems' own CMake calls, for tests/consumers/check
# (sourced): each as its package rules make it, nothing added for us.
# shellcheck source=sdk.sh
. "$here/sdk.sh"
variant=${3:-}  # glibc or musl for OpenWrt, arm or x86_64 for OpenEmbedded
# fill FILE: a toolchain file of this folder with this check's compilers,
# flags and staging root in place of its @NAME@s.
fill() {
  sed -e "s|@FLAGS@|$flags|g" -e "s|@LDFLAGS@|${ldflags:-}|g" -e "s|@STAGING@|$staging|g" \
    -e "s|@CC@|$cc|g" -e "s|@CXX@|$cxx|g" -e "s|@CROSS@|${cc%gcc}|g" -e "s|@PROCESSOR@|$variant|g" "$1"
}
case $check in
  openwrt)  # include/cmake.mk: in the unpacked sources, Ninja, all on the command line
    target_compiler
    [ "$3" = glibc ] || musl_compiler arm-openwrt-linux-muslgnueabi
    copy_sources "$work/src"
    flags="-Os -pipe -mcpu=cortex-a9 -mfpu=vfpv3-d16 -mfloat-abi=hard -fno-caller-saves -fno-plt -fstack-protector -D_FORTIFY_SOURCE=1"
    ldflags="-Wl,-z,now -Wl,-z,relro"
    (cd "$work/src" && CFLAGS=$flags CXXFLAGS=$flags LDFLAGS=$ldflags run "$work/configure.log" \
      cmake --no-warn-unused-cli -G Ninja -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_VERSION=1 \
      -DCMAKE_SYSTEM_PROCESSOR=arm -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
      -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS:STRING="$ldflags" -DCMAKE_STRIP=: -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_FIND_ROOT_PATH="$staging" -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
      -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
      -DCMAKE_PREFIX_PATH="$staging" -DCMAKE_SKIP_RPATH=TRUE "$work/src")
    run "$work/build.log" ninja -C "$work/src"
    DESTDIR=$work/install run "$work/install.log" ninja -C "$work/src" install
    check_package "$work/src" "$work/src" "$work/install" -mcpu=cortex-a9 -Os
    [ "$3" = glibc ] || readelf -l "$work/install/usr/bin/client_check" | grep -q 'ld-musl-armhf' ||
      fail "the tool is not linked against musl" ;;

  buildroot)  # package/pkg-cmake.mk: in the sources, make, the generated toolchain file
    target_compiler
    copy_sources "$work/src"
    mkdir -p "$work/host/share/buildroot/Platform"
    echo 'include(Platform/Linux)' > "$work/host/share/buildroot/Platform/Buildroot.cmake"
    flags="-D_LARGEFILE_SOURCE -D_LARGEFILE64_SOURCE -D_FILE_OFFSET_BITS=64 -Os -g0 -D_FORTIFY_SOURCE=1"
    fill "$here/buildroot-toolchain.cmake" > "$work/host/share/buildroot/toolchainfile.cmake"
    (cd "$work/src" && rm -f CMakeCache.txt && run "$work/configure.log" cmake "$work/src" \
      -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$work/host/share/buildroot/toolchainfile.cmake" \
      -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_COLOR_MAKEFILE=OFF -DBUILD_DOC=OFF -DBUILD_DOCS=OFF \
      -DBUILD_EXAMPLE=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TEST=OFF -DBUILD_TESTS=OFF -DBUILD_TESTING=OFF \
      -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release)
    run "$work/build.log" make -j2 -C "$work/src"
    run "$work/install.log" make -j2 -C "$work/src" DESTDIR="$work/install" install/fast
    check_package "$work/src" "$work/src" "$work/install" -D_LARGEFILE64_SOURCE -Os ;;

  openembedded)  # meta/classes-recipe/cmake.bbclass: ${WORKDIR}/build, Ninja, its toolchain file
    target_compiler "$3"
    copy_sources "$work/src"
    flags="-march=armv7-a -mfpu=neon -mfloat-abi=hard"
    [ "$3" != x86_64 ] || flags="-m64 -march=core2 -mtune=core2 -msse3 -mfpmath=sse"
    flags="$flags -O2 -pipe -g -fstack-protector-strong -D_FORTIFY_SOURCE=2"
    ldflags="-Wl,-O1 -Wl,--hash-style=gnu -Wl,--as-needed -fstack-protector-strong -Wl,-z,relro,-z,now"
    fill "$here/openembedded-toolchain.cmake" > "$work/toolchain.cmake"
    run "$work/configure.log" cmake -G Ninja -DCMAKE_MAKE_PROGRAM=ninja "$work/src" -B "$work/build" \
      -DCMAKE_INSTALL_PREFIX:PATH=/usr -DCMAKE_INSTALL_BINDIR:PATH=bin -DCMAKE_INSTALL_SBINDIR:PATH=sbin \
      -DCMAKE_INSTALL_LIBEXECDIR:PATH=libexec -DCMAKE_INSTALL_SYSCONFDIR:PATH=/etc \
      -DCMAKE_INSTALL_SHAREDSTATEDIR:PATH=../com -DCMAKE_INSTALL_LOCALSTATEDIR:PATH=../var \
      -DCMAKE_INSTALL_LIBDIR:PATH=lib -DCMAKE_INSTALL_INCLUDEDIR:PATH=include \
      -DCMAKE_INSTALL_DATAROOTDIR:PATH=share -DCMAKE_INSTALL_SO_NO_EXE=0 \
      -DCMAKE_TOOLCHAIN_FILE:FILEPATH="$work/toolchain.cmake" -DCMAKE_NO_SYSTEM_FROM_IMPORTED=1 \
      -DCMAKE_EXPORT_NO_PACKAGE_REGISTRY=ON -DFETCHCONTENT_FULLY_DISCONNECTED=ON \
      -DCMAKE_EXPORT_COMPILE_COMMANDS:BOOL=ON -Wno-dev
    run "$work/build.log" cmake --build "$work/build" --target all -- -j2
    DESTDIR=$work/install run "$work/install.log" cmake --build "$work/build" --target install
    check_package "$work/src" "$work/build" "$work/install" -fstack-protector-strong -O2 ;;

esac
