# SPDX-License-Identifier: MIT
# Shared by the toolchain files for the router's small C libraries (musl,
# uClibc-ng), built with a compiler whose own C library is glibc. Include it
# after setting:
#   LIBC_NAME            musl or uclibc-ng
#   LIBC_TRIPLE_PREFIX   the compiler's prefix ("arm-linux-gnueabihf-", or
#                        empty for the host's own compiler)
#   LIBC_INCLUDE         the C library's headers
#   LIBC_KERNEL_INCLUDE  a directory holding the kernel headers (linux/, asm/),
#                        or LIBC_KERNEL_FROM: a cross compiler's include folder
#                        whose linux/, asm/ and asm-generic/ are linked into one
#   LIBC_LINK_FLAGS      what links against the C library instead of glibc
#   LIBC_ARCH_FLAGS      architecture flags
#   LIBC_QEMU            for a cross build: the user-mode emulator (qemu-arm)
#   LIBC_EMULATOR_ROOT   for a cross build: the root it finds the loader in
#
# The compiler's search path is replaced (-nostdinc): its C++ headers, its
# own headers, then the C library's and the kernel's; glibc's are never seen.
# Only the C++ headers' glibc assumptions remain; client_check/libc_compat.h, which
# every target of the project includes first, answers those.
set(CMAKE_SYSTEM_NAME Linux)
if(LIBC_KERNEL_FROM)
  # The kernel's headers, apart from the glibc headers they stand beside.
  include(${CMAKE_CURRENT_LIST_DIR}/sysroot-dir.cmake)
  get_filename_component(name ${LIBC_KERNEL_FROM} DIRECTORY)
  get_filename_component(name ${name} NAME)
  set(LIBC_KERNEL_INCLUDE ${CLIENT_CHECK_SYSROOT_DIR}/kernel-${name})
  file(MAKE_DIRECTORY ${LIBC_KERNEL_INCLUDE})
  foreach(dir linux asm asm-generic)
    file(CREATE_LINK ${LIBC_KERNEL_FROM}/${dir} ${LIBC_KERNEL_INCLUDE}/${dir} SYMBOLIC)
  endforeach()
endif()
set(CMAKE_C_COMPILER ${LIBC_TRIPLE_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${LIBC_TRIPLE_PREFIX}g++)
set(CLIENT_CHECK_LIBC ${LIBC_NAME} CACHE STRING "The C library the tool is built against")

# The C++ headers and the compiler's own, as the compiler lists them.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${LIBC_ARCH_FLAGS} -x c++ -E -v -
  INPUT_FILE /dev/null OUTPUT_QUIET ERROR_VARIABLE search RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER} is missing or does not run")
endif()
string(REGEX REPLACE ".*search starts here:\n(.*)End of search list.*" "\\1" search "${search}")
string(REGEX MATCHALL "[^\n ]+" search "${search}")
set(system_includes "")
foreach(dir IN LISTS search)
  get_filename_component(dir ${dir} REALPATH)
  if(dir MATCHES "/c\\+\\+/" OR dir MATCHES "/gcc(-cross)?/.*/include$")
    string(APPEND system_includes " -isystem ${dir}")
  endif()
endforeach()

set(flags "${LIBC_ARCH_FLAGS} -nostdinc${system_includes} -isystem ${LIBC_INCLUDE} -isystem ${LIBC_KERNEL_INCLUDE}")
set(CMAKE_C_FLAGS_INIT "${flags}")
set(CMAKE_CXX_FLAGS_INIT "${flags}")
# The compiler's own libgcc_s was linked against glibc: take libgcc statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${LIBC_LINK_FLAGS} -static-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${LIBC_LINK_FLAGS} -static-libgcc")
# The compiler's C++ library belongs to glibc: the compiler checks compile
# without linking, and every program of the project is linked by the C driver.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

if(LIBC_QEMU)
  find_program(LIBC_QEMU_PROGRAM ${LIBC_QEMU})
  if(LIBC_QEMU_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LIBC_QEMU_PROGRAM} -L ${LIBC_EMULATOR_ROOT})
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
