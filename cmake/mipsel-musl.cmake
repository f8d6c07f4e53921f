# SPDX-License-Identifier: MIT
# 32-bit little-endian MIPS with musl, from Debian's musl-dev:mipsel
# (dpkg --add-architecture mipsel) and its cross compiler; tests run under
# qemu-mipsel with the host's root (/lib/ld-musl-mipsel.so.1).
#
#   cmake -S . -B build/mipsel-musl -DCMAKE_TOOLCHAIN_FILE=cmake/mipsel-musl.cmake
set(CMAKE_SYSTEM_PROCESSOR mipsel)
set(LIBC_NAME musl)
set(LIBC_TRIPLE_PREFIX mipsel-linux-gnu-)
set(LIBC_ARCH_FLAGS "")
set(LIBC_INCLUDE /usr/include/mipsel-linux-musl)
set(LIBC_LINK_FLAGS "-specs=/usr/lib/mipsel-linux-musl/musl-gcc.specs")
set(LIBC_KERNEL_FROM /usr/mipsel-linux-gnu/include)
set(LIBC_QEMU qemu-mipsel)
set(LIBC_EMULATOR_ROOT /)
include(${CMAKE_CURRENT_LIST_DIR}/small-libc.cmake)
