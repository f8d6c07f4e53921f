# SPDX-License-Identifier: MIT
# Shared by the toolchain files for Debian's glibc cross compilers. Include it
# after setting:
#   CROSS_PROCESSOR     CMAKE_SYSTEM_PROCESSOR (arm, mips, mipsel, aarch64)
#   CROSS_TRIPLE        Debian's triplet (arm-linux-gnueabihf)
#   CROSS_DEFAULT_ARCH  architecture flags when the cache names none
#   CROSS_QEMU          the user-mode emulator that runs the tests
# For a firmware SDK, set on the first configure:
#   -DCROSS_PREFIX=/opt/sdk/bin/arm-openwrt-linux-   compiler prefix
#   -DCROSS_SYSROOT=/opt/sdk/staging_dir/target      the SDK's sysroot
#   -DCROSS_ARCH_FLAGS="-march=armv7-a -mfloat-abi=soft"   other flags
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CROSS_PROCESSOR})

set(CROSS_PREFIX "${CROSS_TRIPLE}-" CACHE STRING "Cross compiler prefix")
set(CROSS_SYSROOT "" CACHE PATH "Target sysroot (empty: the compiler's own)")
set(CROSS_ARCH_FLAGS "${CROSS_DEFAULT_ARCH}" CACHE STRING "Target architecture flags")

set(CMAKE_C_COMPILER ${CROSS_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${CROSS_PREFIX}g++)
set(CMAKE_C_FLAGS_INIT "${CROSS_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${CROSS_ARCH_FLAGS}")

if(CROSS_SYSROOT)
  set(CMAKE_SYSROOT ${CROSS_SYSROOT})
  set(emulator_root ${CROSS_SYSROOT})
else()
  set(emulator_root /usr/${CROSS_TRIPLE})
endif()
set(CMAKE_FIND_ROOT_PATH ${emulator_root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under user-mode emulation, with the target's shared libraries.
find_program(CROSS_QEMU_PROGRAM ${CROSS_QEMU})
if(CROSS_QEMU_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CROSS_QEMU_PROGRAM} -L ${emulator_root})
endif()
