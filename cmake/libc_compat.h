// SPDX-License-Identifier: MIT
// Where the C libraries the project builds against (glibc, musl, uClibc-ng)
// differ, in one place. Every translation unit of the project includes it
// first (-include), so that no source file carries a conditional for a C
// library.
#ifndef CMAKE_LIBC_COMPAT_H
#define CMAKE_LIBC_COMPAT_H

#include <features.h>  // defines __GLIBC__ in glibc and uClibc-ng, __UCLIBC__ in uClibc-ng

// The request parameter of ioctl(): unsigned long in glibc and uClibc-ng,
// int in musl. Whatever defines or wraps ioctl() declares it with this type.
#if defined(__GLIBC__)
typedef unsigned long LibcIoctlRequest;
#else
typedef int LibcIoctlRequest;
#endif

// The compiler's C++ headers were configured for glibc; their platform
// header (os_defines.h) tests glibc's version with this macro, which musl
// does not define. No glibc version is met there.
#if defined(__cplusplus) && !defined(__GLIBC_PREREQ)
#define __GLIBC_PREREQ(major, minor) 0
#endif

#endif  // CMAKE_LIBC_COMPAT_H
