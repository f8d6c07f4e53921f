# SPDX-License-Identifier: MIT
# Cross toolchain for 32-bit little-endian ARMv7-A routers (hard-float ABI).
#
#   cmake -S . -B build/arm -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
#
# By default it uses Debian's g++-arm-linux-gnueabihf and runs target
# programs (the tests) under qemu-arm with Debian's cross sysroot; a
# firmware SDK's compiler and sysroot are named as cmake/cross-glibc.cmake
# says (-DCROSS_ARCH_FLAGS="-march=armv7-a -mfloat-abi=soft" for soft-float).
set(CROSS_PROCESSOR arm)
set(CROSS_TRIPLE arm-linux-gnueabihf)
# Debian's hard-float compiler refuses a bare -march=armv7-a: its FPU must be named.
set(CROSS_DEFAULT_ARCH "-march=armv7-a+fp")
set(CROSS_QEMU qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/cross-glibc.cmake)
