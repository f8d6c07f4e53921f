# SPDX-License-Identifier: MIT
# ARMv7-A, hard-float, with uClibc-ng (the device's C library), built from
# Debian's uclibc-source into <CLIENT_CHECK_SYSROOT_DIR>/uclibc-ng (by
# default under the build directory) by cmake/uclibc-ng/build-sysroot on the
# first configure (about 2 minutes on two quiet cores) and reused while its
# configuration is unchanged:
#
#   cmake -S . -B build/arm-uclibc -DCMAKE_TOOLCHAIN_FILE=cmake/arm-uclibc-ng.cmake
#
# The sysroot also serves qemu-arm as its -L root.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(LIBC_NAME uclibc-ng)
set(LIBC_TRIPLE_PREFIX arm-linux-gnueabihf-)
set(LIBC_ARCH_FLAGS "-march=armv7-a+fp")
include(${CMAKE_CURRENT_LIST_DIR}/sysroot-dir.cmake)
set(UCLIBC_NG_SYSROOT ${CLIENT_CHECK_SYSROOT_DIR}/uclibc-ng)
get_filename_component(UCLIBC_NG_SYSROOT ${UCLIBC_NG_SYSROOT} ABSOLUTE)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/uclibc-ng/build-sysroot ${UCLIBC_NG_SYSROOT}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot build the uClibc-ng sysroot (cmake/uclibc-ng/build-sysroot)")
endif()
set(LIBC_INCLUDE ${UCLIBC_NG_SYSROOT}/usr/include)
set(LIBC_KERNEL_INCLUDE ${UCLIBC_NG_SYSROOT}/usr/include)
# The sysroot's start files and libraries come first; its loader is named
# in every dynamically linked program. uClibc-ng's start files carry no
# note on the stack, which would make it executable.
set(LIBC_LINK_FLAGS "--sysroot=${UCLIBC_NG_SYSROOT} -B${UCLIBC_NG_SYSROOT}/usr/lib/ -L${UCLIBC_NG_SYSROOT}/usr/lib -L${UCLIBC_NG_SYSROOT}/lib -Wl,-dynamic-linker,/lib/ld-uClibc.so.1 -Wl,-z,noexecstack")
set(LIBC_EMULATOR_ROOT ${UCLIBC_NG_SYSROOT})
include(${CMAKE_CURRENT_LIST_DIR}/small-libc.cmake)
