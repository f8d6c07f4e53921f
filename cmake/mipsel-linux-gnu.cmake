# SPDX-License-Identifier: MIT
# Cross toolchain for 32-bit little-endian MIPS routers (MIPS32r2, o32), with
# Debian's g++-mipsel-linux-gnu; tests run under qemu-mipsel.
#
#   cmake -S . -B build/mipsel -DCMAKE_TOOLCHAIN_FILE=cmake/mipsel-linux-gnu.cmake
set(CROSS_PROCESSOR mipsel)
set(CROSS_TRIPLE mipsel-linux-gnu)
set(CROSS_DEFAULT_ARCH "")
set(CROSS_QEMU qemu-mipsel)
include(${CMAKE_CURRENT_LIST_DIR}/cross-glibc.cmake)
