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
constexpr ErrnoName kErrnoNames[] = {
    {"EPERM", EPERM},
    {"ENOENT", ENOENT},
    {"EIO", EIO},
    {"ENXIO", ENXIO},
    {"E2BIG", E2BIG},
    {"EBADF", EBADF},
    {"EAGAIN", EAGAIN},
    {"ENOMEM", ENOMEM},
    {"EACCES", EACCES},
    {"EFAULT", EFAULT},
    {"EBUSY", EBUSY},
    {"ENODEV", ENODEV},
    {"EINVAL", EINVAL},
    {"ENOTTY", ENOTTY},
    {"ENOSPC", ENOSPC},
    {"ERANGE", ERANGE},
    {"ENOSYS", ENOSYS},
    {"EOPNOTSUPP", EOPNOTSUPP},
    {"ETIMEDOUT", ETIMEDOUT},
    {"EMFILE", EMFILE},
    {"ENFILE", ENFILE},
    {"ENOBUFS", ENOBUFS},
    {"EAFNOSUPPORT", EAFNOSUPPORT},
};

#endif  // SIMULATOR_ERRNO_NAMES_H
