// SPDX-License-Identifier: MIT
// Owning one open descriptor for the length of one function.
#ifndef CLIENT_CHECK_FILE_DESCRIPTOR_H
#define CLIENT_CHECK_FILE_DESCRIPTOR_H

#include <unistd.h>

class FileDescriptor {
 public:
  // Takes what open() returned: a descriptor, or -1.
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_;
};

#endif  // CLIENT_CHECK_FILE_DESCRIPTOR_H
