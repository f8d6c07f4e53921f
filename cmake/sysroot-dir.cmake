# SPDX-License-Identifier: MIT
# Where a toolchain file builds or links what its C library needs (the
# uClibc-ng sysroot, a view of the kernel headers): under the build directory
# unless CLIENT_CHECK_SYSROOT_DIR names another place, for example one
# shared by several build directories. Nothing is written into the sources.
if(NOT CLIENT_CHECK_SYSROOT_DIR)
  set(CLIENT_CHECK_SYSROOT_DIR ${CMAKE_BINARY_DIR}/sysroot CACHE PATH
    "Where the toolchain file puts the C library's sysroot and kernel headers")
endif()
# The compiler checks' own projects see the same place.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CLIENT_CHECK_SYSROOT_DIR)
