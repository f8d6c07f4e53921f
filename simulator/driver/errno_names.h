// SPDX-License-Identifier: MIT
// The errno names a scenario may use, shared by the scenario reader (and so
// the routers, the driver simulator and the kernel stand-in's loader) and
// the end-to-end tests' errno_text helper.
#ifndef SIMULATOR_ERRNO_NAMES_H
#define SIMULATOR_ERRNO_NAMES_H

#include <errno.h>

struct ErrnoName {
  const char* name;
  int value;
};
#define ERRNO_NAME(name) \
  { #name, name }
constexpr ErrnoName kErrnoNames[] = {
    ERRNO_NAME(EPERM),  ERRNO_NAME(ENOENT),     ERRNO_NAME(EIO),         ERRNO_NAME(ENXIO),
    ERRNO_NAME(E2BIG),  ERRNO_NAME(EBADF),      ERRNO_NAME(EAGAIN),      ERRNO_NAME(ENOMEM),
    ERRNO_NAME(EACCES), ERRNO_NAME(EFAULT),     ERRNO_NAME(EBUSY),       ERRNO_NAME(ENODEV),
    ERRNO_NAME(EINVAL), ERRNO_NAME(ENOTTY),     ERRNO_NAME(ENOSPC),      ERRNO_NAME(ERANGE),
    ERRNO_NAME(ENOSYS), ERRNO_NAME(EOPNOTSUPP), ERRNO_NAME(ETIMEDOUT),   ERRNO_NAME(EMFILE),
    ERRNO_NAME(ENFILE), ERRNO_NAME(ENOBUFS),    ERRNO_NAME(EAFNOSUPPORT)};
#undef ERRNO_NAME

#endif  // SIMULATOR_ERRNO_NAMES_H
