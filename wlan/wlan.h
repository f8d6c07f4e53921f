// SPDX-License-Identifier: MIT
// Requests to the wireless driver through the device-private socket ioctl.
//
// Every request opens its own AF_INET datagram socket, issues one
// ioctl(SIOCDEVPRIVATE) carrying a WlIoctlRequest in an ifreq, and closes the
// socket before returning. A name that /sys/class/net does not list is
// answered as the kernel answers it (-1, errno ENODEV) without the ioctl,
// which for an unknown name would make the kernel run its module loader;
// without /sys/class/net the ioctl goes out. Failures are reported on
// stderr through perror(), prefixed with "wlanWlIoctl:socket" or with the
// interface name; nothing else is ever printed.
//
// Return contract of this module (it mixes status codes and yes/no answers):
//   wlanWlIoctl       >= 0 success, < 0 failure (the ioctl result, or -1 when
//                     no socket could be opened).
//   wlanGetIntVar     0 with *out set; -1 on failure, *out untouched.
//   wlanCheckDevice   0 driver interface speaking version 1 or 2; -1 refused
//                     name, wrong magic or wrong version; a failed request's
//                     own negative result.
//   wlanPstaWetOff    1 "psta" and "wet_tunnel" both read 0; 0 either reads
//                     non-zero; -1 refused name or a failed read.
//   wlanCheckBss      0 "bss" reads non-zero; 1 it reads 0; -1 refused name or
//                     a failed read.
//   wlanGetAssocList  0 list in buffer; -1 missing name or buffer (or a buffer
//                     too short for the count); a failed request's own
//                     negative result.
//
// Each function also takes an optional WlanTrace, which the transport fills
// with what each request asked and got, for a caller that explains the
// answer (client_check-explain). The tool passes none: the requests, their
// results and the messages are the same either way.
#ifndef WLAN_WLAN_H
#define WLAN_WLAN_H

#include <net/if.h>

#include <cstddef>
#include <cstdint>

// The driver's request record, in its natural layout: 24 bytes on a 32-bit
// target, with the buffer field as wide as a pointer elsewhere.
struct WlIoctlRequest {
  std::uint32_t command;  // request number
  void* buffer;           // read and written by the driver
  std::uint32_t length;   // buffer length in bytes
  std::uint8_t set;       // 0: every request of this tool is a read
  // three bytes of alignment
  std::uint32_t trailingWord0;  // neither set nor read by the tool
  std::uint32_t trailingWord1;  // neither set nor read by the tool
};

static_assert(sizeof(void*) != 4 ||
                  (sizeof(WlIoctlRequest) == 24 && offsetof(WlIoctlRequest, command) == 0 &&
                   offsetof(WlIoctlRequest, buffer) == 4 && offsetof(WlIoctlRequest, length) == 8 &&
                   offsetof(WlIoctlRequest, set) == 12 &&
                   offsetof(WlIoctlRequest, trailingWord0) == 16 &&
                   offsetof(WlIoctlRequest, trailingWord1) == 20),
              "the driver expects a 24-byte request record on 32-bit targets");

namespace wlan {
constexpr std::uint32_t kDriverMagic = 0x14E46C77;
constexpr int kCmdGetMagic = 0;
constexpr int kCmdGetVersion = 1;
constexpr int kCmdGetAssocList = 159;
constexpr int kCmdGetVar = 262;
// The tool never sends this command. The transport's contract keeps a
// failure of it as silent as one of kCmdGetMagic (the only other silent
// one), so that any caller that probes the driver with it stays quiet; the
// version request and every other command report their failures.
constexpr int kCmdSilentOnFailure = 23;
constexpr std::size_t kVarBufferSize = 100;
constexpr std::uint32_t kAssocListMaxWanted = 64;
}  // namespace wlan

// One request as the transport made it.
struct WlanRequestRecord {
  char ifname[IFNAMSIZ + 1];  // as the kernel read it, terminated
  int command;
  char varname[16];    // command 262: the variable asked, as far as it fits
  int result;          // the transport's result
  int error;           // errno, when the result is negative
  bool noSocket;       // no socket could be opened: the request never went out
  std::uint32_t word;  // the buffer's first four bytes afterwards (value, magic, count)
};

// The requests of one examination, in order; those beyond kCapacity are
// counted, not kept.
struct WlanTrace {
  static constexpr int kCapacity = 8;
  WlanRequestRecord requests[kCapacity];
  int count = 0;
};

int wlanWlIoctl(const char* ifname, int command, void* buffer, int length,
                WlanTrace* trace = nullptr);
int wlanGetIntVar(const char* ifname, const char* varname, int* out, WlanTrace* trace = nullptr);
int wlanCheckDevice(const char* ifname, WlanTrace* trace = nullptr);
int wlanPstaWetOff(const char* ifname, WlanTrace* trace = nullptr);
int wlanCheckBss(const char* ifname, WlanTrace* trace = nullptr);
int wlanGetAssocList(const char* ifname, void* buffer, int length, WlanTrace* trace = nullptr);

#endif  // WLAN_WLAN_H
