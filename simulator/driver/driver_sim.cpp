// SPDX-License-Identifier: MIT
// A wireless driver simulator, preloaded (LD_PRELOAD) into the tool or
// linked into a static one (DRIVER_SIM_LINKED). Each ioctl(SIOCDEVPRIVATE)
// is answered (driver_serve.h) from the driver record the scenario reader
// wrote to CLIENT_CHECK_SIM_DRIVER, mapped for each request; every other
// ioctl goes to the kernel. No state between requests.
#include <fcntl.h>
#include <net/if.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <linux/sockios.h>

#include <stdlib.h>
#include <cerrno>
#include <cstdarg>

#include "client_check/file_descriptor.h"
#include "simulator/driver/driver_serve.h"
#include "wlan/wlan.h"

namespace {

// The scenario's driver record, mapped for the length of one request.
class DriverRecord {
 public:
  DriverRecord() {
    const char* path = getenv("CLIENT_CHECK_SIM_DRIVER");
    const FileDescriptor record(path != nullptr ? open(path, O_RDONLY | O_CLOEXEC) : -1);
    struct stat file;
    void* map =
        record.isOpen() && fstat(record.fd(), &file) == 0 && file.st_size == sizeof(driver_scenario)
            ? mmap(nullptr, sizeof(driver_scenario), PROT_READ, MAP_PRIVATE, record.fd(), 0)
            : MAP_FAILED;
    if (map == MAP_FAILED) return;
    driver_ = static_cast<const driver_scenario*>(map);
    if (driver_->magic != DRIVER_SCENARIO_MAGIC || driver_->size != sizeof(driver_scenario)) {
      munmap(map, sizeof(driver_scenario));
      driver_ = nullptr;
    }
  }
  ~DriverRecord() {
    if (driver_ != nullptr) munmap(const_cast<driver_scenario*>(driver_), sizeof *driver_);
  }
  DriverRecord(const DriverRecord&) = delete;
  DriverRecord& operator=(const DriverRecord&) = delete;

  // Null when there is no record to read.
  const driver_scenario* get() const { return driver_; }

 private:
  const driver_scenario* driver_ = nullptr;
};

int answer(int fd, void* argument) {
  const DriverRecord driver;
  if (driver.get() == nullptr) {
    errno = ENODEV;
    return -1;
  }
  return driverServe(*driver.get(), fd, *static_cast<const ifreq*>(argument));
}

// 0 when a socket of this kind may be opened, else the errno to fail with.
int socketRefused(int domain, int type) {
  if (domain != AF_INET || (type & 0xF) != SOCK_DGRAM) return 0;
  const DriverRecord driver;
  return driver.get() != nullptr ? driver.get()->socket_error : 0;
}

#ifdef DRIVER_SIM_LINKED
// Linked into a static program with --wrap=ioctl and --wrap=socket: the C
// library's functions are reached as __real_ioctl and __real_socket.
extern "C" int __real_ioctl(int fd, LibcIoctlRequest request, ...);
extern "C" int __real_socket(int domain, int type, int protocol);
#define SIMULATED(name) __wrap_##name
int kernelIoctl(int fd, LibcIoctlRequest request, void* argument) {
  return __real_ioctl(fd, request, argument);
}
int kernelSocket(int domain, int type, int protocol) {
  return __real_socket(domain, type, protocol);
}
#else
// Preloaded, every other request goes to the kernel itself: resolving the C
// library's own function (dlsym) is not safe this early in every C library,
// whose stdio may ask the terminal before the program starts.
#define SIMULATED(name) name
int kernelIoctl(int fd, LibcIoctlRequest request, void* argument) {
  return static_cast<int>(syscall(SYS_ioctl, fd, request, argument));
}
int kernelSocket(int domain, int type, int protocol) {
  return static_cast<int>(syscall(SYS_socket, domain, type, protocol));
}
#endif

int dispatch(int fd, LibcIoctlRequest request, va_list args) {
  void* argument = va_arg(args, void*);
  if (request == SIOCDEVPRIVATE && argument != nullptr) return answer(fd, argument);
  return kernelIoctl(fd, request, argument);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int SIMULATED(socket)(int domain, int type, int protocol) {
  if (const int error = socketRefused(domain, type)) {
    errno = error;
    return -1;
  }
  return kernelSocket(domain, type, protocol);
}

__attribute__((visibility("default"))) int SIMULATED(ioctl)(int fd, LibcIoctlRequest request, ...) {
  va_list args;
  va_start(args, request);
  const int result = dispatch(fd, request, args);
  va_end(args);
  return result;
}

#ifndef DRIVER_SIM_LINKED
// The name a C library with 64-bit time on a 32-bit target exports ioctl as.
__attribute__((visibility("default"), alias("ioctl"))) int __ioctl_time64(int fd,
                                                                          LibcIoctlRequest request,
                                                                          ...);
#endif

}  // extern "C"
