# SPDX-License-Identifier: MIT
# 32-bit little-endian MIPS with uClibc-ng, built from Debian's
# uclibc-source as cmake/uclibc-ng/toolchain.cmake says:
#
#   cmake -S . -B build/mipsel-uclibc -DCMAKE_TOOLCHAIN_FILE=cmake/mipsel-uclibc-ng.cmake
set(CMAKE_SYSTEM_PROCESSOR mipsel)
set(UCLIBC_NG_ARCH mipsel)
set(LIBC_TRIPLE_PREFIX mipsel-linux-gnu-)
set(LIBC_ARCH_FLAGS "")
set(LIBC_QEMU qemu-mipsel)
include(${CMAKE_CURRENT_LIST_DIR}/uclibc-ng/toolchain.cmake)
