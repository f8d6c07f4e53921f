# SPDX-License-Identifier: MIT
# 64-bit ARM routers with a 64-bit userland, with musl, from Debian's
# musl-dev:arm64 (dpkg --add-architecture arm64) and its cross compiler;
# tests run under qemu-aarch64 with the host's root (/lib/ld-musl-aarch64.so.1).
#
#   cmake -S . -B build/aarch64-musl -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-musl.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(LIBC_NAME musl)
set(LIBC_TRIPLE_PREFIX aarch64-linux-gnu-)
set(LIBC_ARCH_FLAGS "")
set(LIBC_INCLUDE /usr/include/aarch64-linux-musl)
set(LIBC_LINK_FLAGS "-specs=/usr/lib/aarch64-linux-musl/musl-gcc.specs")
set(LIBC_KERNEL_FROM /usr/aarch64-linux-gnu/include)
set(LIBC_QEMU qemu-aarch64)
set(LIBC_EMULATOR_ROOT /)
include(${CMAKE_CURRENT_LIST_DIR}/small-libc.cmake)
