# SPDX-License-Identifier: MIT
# Cross toolchain for 32-bit big-endian MIPS routers (MIPS32r2, o32), with
# Debian's g++-mips-linux-gnu; tests run under qemu-mips.
#
#   cmake -S . -B build/mips -DCMAKE_TOOLCHAIN_FILE=cmake/mips-linux-gnu.cmake
set(CROSS_PROCESSOR mips)
set(CROSS_TRIPLE mips-linux-gnu)
set(CROSS_DEFAULT_ARCH "")
set(CROSS_QEMU qemu-mips)
include(${CMAKE_CURRENT_LIST_DIR}/cross-glibc.cmake)
