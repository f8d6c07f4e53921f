# SPDX-License-Identifier: MIT
# Shared by the uClibc-ng toolchain files: builds the sysroot for
# UCLIBC_NG_ARCH (arm, mipsel) into <CLIENT_CHECK_SYSROOT_DIR>/uclibc-ng-ARCH
# (by default under the build directory) with cmake/uclibc-ng/build-sysroot
# on the first configure (about 2 minutes on two quiet cores), reused while
# its configuration is unchanged. Set LIBC_TRIPLE_PREFIX, LIBC_ARCH_FLAGS and
# LIBC_QEMU first; the sysroot also serves the emulator as its -L root.
set(LIBC_NAME uclibc-ng)
include(${CMAKE_CURRENT_LIST_DIR}/../sysroot-dir.cmake)
set(UCLIBC_NG_SYSROOT ${CLIENT_CHECK_SYSROOT_DIR}/uclibc-ng-${UCLIBC_NG_ARCH})
get_filename_component(UCLIBC_NG_SYSROOT ${UCLIBC_NG_SYSROOT} ABSOLUTE)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/build-sysroot ${UCLIBC_NG_ARCH} ${UCLIBC_NG_SYSROOT}
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
include(${CMAKE_CURRENT_LIST_DIR}/../small-libc.cmake)
