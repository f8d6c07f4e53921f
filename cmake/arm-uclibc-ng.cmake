# SPDX-License-Identifier: MIT
# ARMv7-A, hard-float, with uClibc-ng (the device's C library), built from
# Debian's uclibc-source as cmake/uclibc-ng/toolchain.cmake says:
#
#   cmake -S . -B build/arm-uclibc -DCMAKE_TOOLCHAIN_FILE=cmake/arm-uclibc-ng.cmake
set(CMAKE_SYSTEM_PROCESSOR arm)
set(UCLIBC_NG_ARCH arm)
set(LIBC_TRIPLE_PREFIX arm-linux-gnueabihf-)
set(LIBC_ARCH_FLAGS "-march=armv7-a+fp")
set(LIBC_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/uclibc-ng/toolchain.cmake)
