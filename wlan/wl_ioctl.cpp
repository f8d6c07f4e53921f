// SPDX-License-Identifier: MIT
// The transport: one device-private ioctl on a fresh datagram socket, for
// a device the kernel has.
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdio.h>
#include <cerrno>
#include <cstring>

#include <linux/sockios.h>

#include "client_check/file_descriptor.h"
#include "wlan/wlan.h"

namespace {

// True when the kernel has no network device of this name, as far as
// sysfs tells without loading anything: asked for a name it does not know,
// the device-private ioctl makes the kernel run its module loader (for
// "netdev-NAME", then NAME) before it answers ENODEV. `name` is what the
// kernel reads of ifr_name, at most IFNAMSIZ - 1 characters. Where sysfs
// cannot tell (no /sys/class/net, a name that is no file name there), false:
// the request goes out and the kernel answers.
bool deviceMissing(const char* name) {
  static constexpr char kDevices[] = "/sys/class/net";
  char path[sizeof kDevices + IFNAMSIZ] = {};
  std::memcpy(path, kDevices, sizeof kDevices - 1);
  path[sizeof kDevices - 1] = '/';
  const std::size_t length = strnlen(name, IFNAMSIZ - 1);
  if (length == 0 || std::memchr(name, '/', length) != nullptr) return false;
  std::memcpy(path + sizeof kDevices, name, length);
  if (access(path, F_OK) == 0 || errno != ENOENT) return false;
  return access(kDevices, F_OK) == 0;
}

// The trace's next record, filled with what the request asks (`name`: at
// most IFNAMSIZ characters, not always terminated; a variable's name from
// the buffer); none once the trace is full.
WlanRequestRecord* beginRecord(WlanTrace* trace, const char* name, int command, const void* buffer,
                               int length) {
  if (trace == nullptr || trace->count < 0 || trace->count++ >= WlanTrace::kCapacity)
    return nullptr;
  WlanRequestRecord& record = trace->requests[trace->count - 1];
  std::memset(&record, 0, sizeof record);
  std::memcpy(record.ifname, name, strnlen(name, IFNAMSIZ));
  record.command = command;
  if (command == wlan::kCmdGetVar && buffer != nullptr && length > 0) {
    const std::size_t most = sizeof record.varname - 1;
    const std::size_t size = static_cast<std::size_t>(length) < most ? length : most;
    std::memcpy(record.varname, buffer, strnlen(static_cast<const char*>(buffer), size));
  }
  return &record;
}

// What the request got: its result, errno on failure, the answer's first word.
void finishRecord(WlanRequestRecord& record, const void* buffer, int length, int result,
                  int error) {
  record.result = result;
  record.error = result < 0 ? error : 0;
  if (buffer == nullptr || length <= 0) return;
  const std::size_t size = static_cast<std::size_t>(length);
  std::memcpy(&record.word, buffer, size < sizeof record.word ? size : sizeof record.word);
}

}  // namespace

int wlanWlIoctl(const char* ifname, int command, void* buffer, int length, WlanTrace* trace) {
  // One socket for the length of this request.
  const FileDescriptor socket(::socket(AF_INET, SOCK_DGRAM, 0));
  if (!socket.isOpen()) {
    const int error = errno;
    perror("wlanWlIoctl:socket");
    if (WlanRequestRecord* record = beginRecord(trace, ifname, command, buffer, length)) {
      record->noSocket = true;
      finishRecord(*record, nullptr, 0, -1, error);
    }
    return -1;
  }

  // Value-initialised so that the padding and the trailing words reach the
  // driver as zeros rather than as stale stack bytes.
  WlIoctlRequest request{};
  request.command = static_cast<std::uint32_t>(command);
  request.buffer = buffer;
  request.length = static_cast<std::uint32_t>(length);
  request.set = 0;

  ifreq carrier;
  std::memset(&carrier, 0, sizeof carrier);
  // At most IFNAMSIZ characters; the kernel terminates the name itself.
  for (std::size_t k = 0; k < IFNAMSIZ && ifname[k] != '\0'; ++k) carrier.ifr_name[k] = ifname[k];
  carrier.ifr_data = reinterpret_cast<char*>(&request);

  WlanRequestRecord* record = beginRecord(trace, carrier.ifr_name, command, buffer, length);
  int result = -1;
  if (deviceMissing(carrier.ifr_name))
    errno = ENODEV;  // the kernel's own answer, without its module loader
  else
    result = ioctl(socket.fd(), SIOCDEVPRIVATE, &carrier);
  if (record != nullptr) finishRecord(*record, buffer, length, result, errno);
  if (result < 0 && command != wlan::kCmdGetMagic && command != wlan::kCmdSilentOnFailure) {
    // ifr_name need not be terminated when the name filled all of it.
    char name[IFNAMSIZ + 1] = {};
    std::memcpy(name, carrier.ifr_name, IFNAMSIZ);
    perror(name);
  }
  return result;
}
