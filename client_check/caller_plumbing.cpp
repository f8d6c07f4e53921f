// SPDX-License-Identifier: MIT
#include "client_check/caller_plumbing.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "client_check/file_descriptor.h"

namespace {

constexpr char kNullDevice[] = "/dev/null";
constexpr int kStandardDescriptors = 3;

void markCloseOnExec(int fd) {
  const int flags = fcntl(fd, F_GETFD);
  if (flags >= 0 && (flags & FD_CLOEXEC) == 0) fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
}

// A directory entry's name (at most `size` bytes, terminated) as a
// descriptor number; -1 for "." and "..".
int descriptorNumber(const char* name, std::size_t size) {
  int number = 0;
  std::size_t k = 0;
  for (; k < size && name[k] != '\0'; ++k) {
    if (name[k] < '0' || name[k] > '9' || number > (1 << 24)) return -1;
    number = number * 10 + (name[k] - '0');
  }
  return k > 0 && k < size ? number : -1;
}

// Marks the descriptors from 3 up that /proc/self/fd lists close-on-exec:
// as many system calls as the caller left descriptors open, whatever the
// open-files limit. False when the list cannot be read to its end.
bool closeOnExecListed() {
  const FileDescriptor directory(open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.isOpen()) return false;
  // linux_dirent64: 8-byte inode, 8-byte offset, 2-byte record length at 16,
  // 1-byte type, then the terminated name from byte 19.
  constexpr std::size_t kLengthAt = 16, kNameAt = 19;
  alignas(8) char entries[1024];
  for (;;) {
    const long got = syscall(SYS_getdents64, directory.fd(), entries, sizeof entries);
    if (got < 0) return false;
    if (got == 0) return true;
    const std::size_t end = static_cast<std::size_t>(got);
    for (std::size_t at = 0; at + kNameAt < end;) {
      unsigned short length;
      std::memcpy(&length, entries + at + kLengthAt, sizeof length);
      if (length <= kNameAt || length > end - at) return false;
      const int fd = descriptorNumber(entries + at + kNameAt, length - kNameAt);
      if (fd >= kStandardDescriptors && fd != directory.fd()) markCloseOnExec(fd);
      at += length;
    }
  }
}

// Marks every descriptor from 3 up close-on-exec. One system call where the
// kernel has close_range() with CLOSE_RANGE_CLOEXEC (Linux 5.11); an older
// kernel answers ENOSYS, and the descriptors /proc/self/fd lists are marked
// one by one. Only without that list is each number below the open-files
// limit looked at.
void closeOnExecAboveStandard() {
#ifdef SYS_close_range
  constexpr unsigned kCloseRangeCloexec = 1u << 2;  // CLOSE_RANGE_CLOEXEC
  if (syscall(SYS_close_range, 3u, ~0u, kCloseRangeCloexec) == 0) return;
#endif
  if (closeOnExecListed()) return;
  rlimit limit{};
  const long last = getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
                            limit.rlim_cur < (1u << 20)
                        ? static_cast<long>(limit.rlim_cur)
                        : 1L << 20;
  for (int fd = kStandardDescriptors; fd < last; ++fd) markCloseOnExec(fd);
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
