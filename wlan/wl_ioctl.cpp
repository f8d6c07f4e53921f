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

}  // namespace

int wlanWlIoctl(const char* ifname, int command, void* buffer, int length) {
  // One socket for the length of this request.
  const FileDescriptor socket(::socket(AF_INET, SOCK_DGRAM, 0));
  if (!socket.isOpen()) {
    perror("wlanWlIoctl:socket");
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

  int result = -1;
  if (deviceMissing(carrier.ifr_name))
    errno = ENODEV;  // the kernel's own answer, without its module loader
  else
    result = ioctl(socket.fd(), SIOCDEVPRIVATE, &carrier);
  if (result < 0 && command != wlan::kCmdGetMagic && command != wlan::kCmdSilentOnFailure) {
    // ifr_name need not be terminated when the name filled all of it.
    char name[IFNAMSIZ + 1] = {};
    std::memcpy(name, carrier.ifr_name, IFNAMSIZ);
    perror(name);
  }
  return result;
}
