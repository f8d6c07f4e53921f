// SPDX-License-Identifier: MIT
// Where the C libraries the project builds against (glibc, musl, uClibc-ng)
// differ, in one place. Every translation unit of the project includes it
// first (-include), so that no source file carries a conditional for a C
// library.
#ifndef CLIENT_CHECK_LIBC_COMPAT_H
#define CLIENT_CHECK_LIBC_COMPAT_H

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

// They also re-export, from <cstdlib> and <cstdio> (which the C++ library's
// own <stdlib.h> includes), functions a small uClibc-ng may be configured
// without. The C++ library's configuration is corrected here to what this
// uClibc-ng provides, so that the headers compile; the tool calls none of
// these functions.
#if defined(__cplusplus) && defined(__UCLIBC__)
#include <bits/c++config.h>
#undef _GLIBCXX_HAVE_AT_QUICK_EXIT  // not in uClibc-ng
#undef _GLIBCXX_HAVE_QUICK_EXIT
#ifndef __UCLIBC_HAS_WCHAR__  // mblen(), mbtowc(), wctomb() ...
#undef _GLIBCXX_HAVE_MBSTATE_T
#undef _GLIBCXX_USE_WCHAR_T
#endif
#ifndef __UCLIBC_SUSV4_LEGACY__  // tmpnam()
#undef _GLIBCXX_USE_TMPNAM
#define _GLIBCXX_USE_TMPNAM 0
#endif
#endif

#endif  // CLIENT_CHECK_LIBC_COMPAT_H
