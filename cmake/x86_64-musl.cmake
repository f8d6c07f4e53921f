# SPDX-License-Identifier: MIT
# The host (x86-64) with musl, statically linked, from Debian's musl-tools and
# musl-dev: the cheapest call the tool can make, for comparison.
#
#   cmake -S . -B build/host-musl -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-musl.cmake -DCLIENT_CHECK_STATIC=ON
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LIBC_NAME musl)
set(LIBC_TRIPLE_PREFIX "")
set(LIBC_ARCH_FLAGS "")
set(LIBC_INCLUDE /usr/include/x86_64-linux-musl)
set(LIBC_LINK_FLAGS "-specs=/usr/lib/x86_64-linux-musl/musl-gcc.specs")
set(LIBC_EMULATOR_ROOT "")
include(${CMAKE_CURRENT_LIST_DIR}/sysroot-dir.cmake)
set(LIBC_KERNEL_INCLUDE ${CLIENT_CHECK_SYSROOT_DIR}/kernel-x86_64)
file(MAKE_DIRECTORY ${LIBC_KERNEL_INCLUDE})
file(CREATE_LINK /usr/include/linux ${LIBC_KERNEL_INCLUDE}/linux SYMBOLIC)
file(CREATE_LINK /usr/include/x86_64-linux-gnu/asm ${LIBC_KERNEL_INCLUDE}/asm SYMBOLIC)
file(CREATE_LINK /usr/include/asm-generic ${LIBC_KERNEL_INCLUDE}/asm-generic SYMBOLIC)
include(${CMAKE_CURRENT_LIST_DIR}/small-libc.cmake)
