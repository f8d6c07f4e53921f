// SPDX-License-Identifier: MIT
#include "client_check/caller_plumbing.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr char kNullDevice[] = "/dev/null";
constexpr int kStandardDescriptors = 3;

// Marks every descriptor from 3 up close-on-exec. One system call where the
// kernel has close_range() with CLOSE_RANGE_CLOEXEC (Linux 5.11); otherwise
// each descriptor below the open-files limit is looked at.
void closeOnExecAboveStandard() {
#ifdef SYS_close_range
  constexpr unsigned kCloseRangeCloexec = 1u << 2;  // CLOSE_RANGE_CLOEXEC
  if (syscall(SYS_close_range, 3u, ~0u, kCloseRangeCloexec) == 0) return;
#endif
  rlimit limit{};
  const long last = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
                            limit.rlim_cur < (1u << 20)
                        ? static_cast<long>(limit.rlim_cur)
                        : 1L << 20;
  for (int fd = kStandardDescriptors; fd < last; ++fd) {
    const int flags = fcntl(fd, F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0) fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
  }
}

}  // namespace

void openClosedStandardDescriptors() {
  // open() takes the lowest free number: it fills the gaps among 0 to 2 and
  // the first descriptor it returns above them is closed again.
  for (;;) {
    const int fd = open(kNullDevice, O_RDWR);
    if (fd < 0) return;  // no /dev/null: nothing better to offer
    if (fd >= kStandardDescriptors) {
      close(fd);
      return;
    }
  }
}

void ignoreBrokenPipes() {
  signal(SIGPIPE, SIG_IGN);
}

DetachedStdio::DetachedStdio() : saved_{-1, -1, -1} {
  closeOnExecAboveStandard();
  const int null = open(kNullDevice, O_RDWR | O_CLOEXEC);
  if (null >= 0) {
    for (int fd = 0; fd < kStandardDescriptors; ++fd) {
      if (fd == null) continue;
      // Without a saved copy the tool's own descriptor is not put back; the
      // command is kept away from the caller's all the same.
      saved_[fd] = fcntl(fd, F_DUPFD_CLOEXEC, kStandardDescriptors);
      dup2(null, fd);
    }
    if (null >= kStandardDescriptors)
      close(null);
    else
      fcntl(null, F_SETFD, 0);  // it took a closed standard number: keep it across exec
  }
  savedPipeHandler_ = signal(SIGPIPE, SIG_DFL);
}

DetachedStdio::~DetachedStdio() {
  if (savedPipeHandler_ != SIG_ERR) signal(SIGPIPE, savedPipeHandler_);
  for (int fd = 0; fd < kStandardDescriptors; ++fd) {
    if (saved_[fd] < 0) continue;
    dup2(saved_[fd], fd);
    close(saved_[fd]);
  }
}
