# SPDX-License-Identifier: MIT
# ARMv7-A, hard-float, with musl (OpenWrt's C library), from Debian's
# musl-dev:armhf (dpkg --add-architecture armhf; apt-get install musl-dev:armhf)
# and its musl-gcc.specs, and Debian's cross compiler:
#
#   cmake -S . -B build/arm-musl -DCMAKE_TOOLCHAIN_FILE=cmake/arm-musl.cmake
#
# Tests run under qemu-arm with the host's root, where musl's loader lives
# (/lib/ld-musl-armhf.so.1).
set(CMAKE_SYSTEM_PROCESSOR arm)
set(LIBC_NAME musl)
set(LIBC_TRIPLE_PREFIX arm-linux-gnueabihf-)
set(LIBC_ARCH_FLAGS "-march=armv7-a+fp")
set(LIBC_INCLUDE /usr/include/arm-linux-musleabihf)
set(LIBC_LINK_FLAGS "-specs=/usr/lib/arm-linux-musleabihf/musl-gcc.specs")
set(LIBC_KERNEL_FROM /usr/arm-linux-gnueabihf/include)
set(LIBC_QEMU qemu-arm)
set(LIBC_EMULATOR_ROOT /)
include(${CMAKE_CURRENT_LIST_DIR}/small-libc.cmake)
