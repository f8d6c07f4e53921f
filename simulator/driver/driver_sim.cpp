// SPDX-License-Identifier: MIT
// A wireless driver simulator, preloaded (LD_PRELOAD) into the tool or
// linked into a static one (DRIVER_SIM_LINKED). Each ioctl(SIOCDEVPRIVATE)
// is answered by the driver model from the driver record the scenario reader
// wrote to CLIENT_CHECK_SIM_DRIVER, mapped for each request, and logged to
// CLIENT_CHECK_SIM_LOG when set; every other ioctl goes to the kernel. No
// state between requests.
#include <fcntl.h>
#include <net/if.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <linux/sockios.h>

#include <stdio.h>
#include <stdlib.h>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "client_check/file_descriptor.h"
#include "simulator/driver/driver_model.h"
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

const driver_interface* findInterface(const driver_scenario& driver, const char* ifname) {
  for (std::uint32_t k = 0; k < driver.interfaces; ++k)
    if (std::strcmp(driver.interface[k].name, ifname) == 0) return &driver.interface[k];
  return nullptr;
}

// Hands `size` bytes to the kernel, as a driver copying them in would, so
// that a memory checker sees every byte the tool sends.
void copyIn(const void* bytes, std::size_t size) {
  const FileDescriptor null(open("/dev/null", O_WRONLY | O_CLOEXEC));
  if (null.isOpen() && write(null.fd(), bytes, size) < 0) {
    // Nothing to do: /dev/null takes everything.
  }
}

void logRequest(int fd, const char* ifname, const driver_model_request& request) {
  const char* path = getenv("CLIENT_CHECK_SIM_LOG");
  if (path == nullptr) return;
  char line[256];
  const ds_u32 n = driver_model_log_line(line, sizeof line, ifname, &request, fd);
  const FileDescriptor log(open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (log.isOpen() && write(log.fd(), line, n) < 0) {
    // A lost log line does not change the driver's answer.
  }
}

int put(void* buffer, ds_u32 offset, const void* bytes, ds_u32 size) {
  std::memcpy(static_cast<unsigned char*>(buffer) + offset, bytes, size);
  return 0;
}

// Answers one request; returns 0 with what the request returns in `result`,
// or an errno. An interface without a block is no driver's: ENODEV, unlogged.
int serve(int fd, const ifreq& carrier, int& result) {
  WlIoctlRequest record;
  std::memcpy(&record, carrier.ifr_data, sizeof record);
  char ifname[IFNAMSIZ + 1] = {};
  std::memcpy(ifname, carrier.ifr_name, IFNAMSIZ);
  const DriverRecord driver;
  if (driver.get() == nullptr) return ENODEV;
  const driver_interface* block = findInterface(*driver.get(), ifname);
  if (block == nullptr) return ENODEV;

  auto* buffer = static_cast<unsigned char*>(record.buffer);
  if (buffer == nullptr) return EFAULT;
  copyIn(&record, sizeof record);
  copyIn(buffer, record.length < 65536 ? record.length : 65536);

  char varname[DRIVER_SCENARIO_VAR_NAME + 1] = {};
  if (record.command == DRIVER_MODEL_GET_VAR) {
    const std::size_t n = strnlen(reinterpret_cast<char*>(buffer), record.length);
    std::memcpy(varname, buffer, n < sizeof varname - 1 ? n : sizeof varname - 1);
  }
  driver_model_request request = {record.command, record.length, record.set, varname, 0};
  if (record.length >= 4) std::memcpy(&request.word_in, buffer, sizeof request.word_in);
  logRequest(fd, ifname, request);
  ds_s32 returned = 0;
  const int error = driver_model_answer(block, &request, put, buffer, &returned);
  result = returned;
  return error;
}

int answer(int fd, void* argument) {
  int result = 0;
  const int error = serve(fd, *static_cast<const ifreq*>(argument), result);
  if (error == 0) return result;
  errno = error;
  return -1;
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
