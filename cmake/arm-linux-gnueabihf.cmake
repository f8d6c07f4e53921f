# SPDX-License-Identifier: MIT
# Cross toolchain for 32-bit little-endian ARMv7-A routers (hard-float ABI).
#
#   cmake -S . -B build/arm -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
#
# By default it uses Debian's g++-arm-linux-gnueabihf and runs target
# programs (the tests) under qemu-arm with Debian's cross sysroot. For a
# firmware SDK, set on the first configure:
#   -DCROSS_PREFIX=/opt/sdk/bin/arm-openwrt-linux-   compiler prefix
#   -DCROSS_SYSROOT=/opt/sdk/staging_dir/target      the SDK's sysroot
#   -DCROSS_ARCH_FLAGS="-march=armv7-a -mfloat-abi=soft"   for a soft-float SDK
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CROSS_PREFIX "arm-linux-gnueabihf-" CACHE STRING "Cross compiler prefix")
set(CROSS_SYSROOT "" CACHE PATH "Target sysroot (empty: the compiler's own)")
# Debian's hard-float compiler refuses a bare -march=armv7-a: its FPU must be named.
set(CROSS_ARCH_FLAGS "-march=armv7-a+fp" CACHE STRING "Target architecture flags")

set(CMAKE_C_COMPILER ${CROSS_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${CROSS_PREFIX}g++)
set(CMAKE_C_FLAGS_INIT "${CROSS_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${CROSS_ARCH_FLAGS}")

if(CROSS_SYSROOT)
  set(CMAKE_SYSROOT ${CROSS_SYSROOT})
  set(emulator_root ${CROSS_SYSROOT})
else()
  set(emulator_root /usr/arm-linux-gnueabihf)
endif()
set(CMAKE_FIND_ROOT_PATH ${emulator_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under user-mode emulation, with the target's shared libraries.
find_program(QEMU_ARM qemu-arm)
if(QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_ARM} -L ${emulator_root})
endif()
