// SPDX-License-Identifier: MIT
// The userspace driver stand-in's answer to one private request
// (ioctl SIOCDEVPRIVATE), from a driver record: what the preloaded or linked
// simulator (driver_sim.cpp) and the unit tests' fake (tests/fake_driver.cpp)
// both answer with. The interface is found by its name as the kernel reads
// it (at most IFNAMSIZ - 1 characters); every byte the request hands the
// driver is read, as a driver copying it in would, so that a memory checker
// sees them; the request is logged to CLIENT_CHECK_SIM_LOG when that is set.
#ifndef SIMULATOR_DRIVER_DRIVER_SERVE_H
#define SIMULATOR_DRIVER_DRIVER_SERVE_H

#include <fcntl.h>
#include <net/if.h>
#include <unistd.h>

#include <stdlib.h>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "client_check/file_descriptor.h"
#include "simulator/driver/driver_model.h"
#include "wlan/wlan.h"

namespace driver_serve {

inline const driver_interface* findInterface(const driver_scenario& driver, const char* ifname) {
  for (std::uint32_t k = 0; k < driver.interfaces && k < DRIVER_SCENARIO_INTERFACES; ++k)
    if (std::strncmp(driver.interface[k].name, ifname, DRIVER_SCENARIO_NAME) == 0)
      return &driver.interface[k];
  return nullptr;
}

inline void copyIn(const void* bytes, std::size_t size) {
  const FileDescriptor null(open("/dev/null", O_WRONLY | O_CLOEXEC));
  if (null.isOpen() && write(null.fd(), bytes, size) < 0) {
    // Nothing to do: /dev/null takes everything.
  }
}

inline void logRequest(int fd, const char* ifname, const driver_model_request& request) {
  const char* path = getenv("CLIENT_CHECK_SIM_LOG");
  if (path == nullptr) return;
  char line[256];
  const ds_u32 n = driver_model_log_line(line, sizeof line, ifname, &request, fd);
  const FileDescriptor log(open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (log.isOpen() && write(log.fd(), line, n) < 0) {
    // A lost log line does not change the driver's answer.
  }
}

inline int put(void* buffer, ds_u32 offset, const void* bytes, ds_u32 size) {
  std::memcpy(static_cast<unsigned char*>(buffer) + offset, bytes, size);
  return 0;
}

// 0 with what the request returns in `result`, or an errno. An interface
// the record does not have is no driver's: ENODEV, unlogged.
inline int serve(const driver_scenario& driver, int fd, const ifreq& carrier, int& result) {
  WlIoctlRequest record;
  std::memcpy(&record, carrier.ifr_data, sizeof record);
  char ifname[IFNAMSIZ] = {};
  std::memcpy(ifname, carrier.ifr_name, IFNAMSIZ - 1);
  const driver_interface* block = findInterface(driver, ifname);
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

}  // namespace driver_serve

// What ioctl returns for the request, errno set when it fails.
inline int driverServe(const driver_scenario& driver, int fd, const ifreq& carrier) {
  int result = 0;
  const int error = driver_serve::serve(driver, fd, carrier, result);
  if (error == 0) return result;
  errno = error;
  return -1;
}

#endif  // SIMULATOR_DRIVER_DRIVER_SERVE_H
