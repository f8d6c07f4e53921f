// SPDX-License-Identifier: MIT
// Driver queries built on the transport: identity, named integer variables
// and the association list.
#include <cstring>

#include "wlan/wlan.h"

namespace {

bool startsWith(const char* text, const char* prefix) {
  while (*prefix != '\0' && *text == *prefix) ++text, ++prefix;
  return *prefix == '\0';
}

bool isWirelessOrPrimary(const char* ifname) {
  return ifname != nullptr && (startsWith(ifname, "wl") || startsWith(ifname, "eth"));
}

bool isPrimary(const char* ifname) {
  return ifname != nullptr && startsWith(ifname, "eth");
}

}  // namespace

int wlanGetIntVar(const char* ifname, const char* varname, int* out, WlanTrace* trace) {
  // On the way in: the terminated name; on the way out: the value in the
  // first four bytes.
  char buffer[wlan::kVarBufferSize] = {};
  std::memcpy(buffer, varname, strnlen(varname, sizeof buffer - 1));
  if (wlanWlIoctl(ifname, wlan::kCmdGetVar, buffer, sizeof buffer, trace) < 0) return -1;
  std::int32_t value;
  std::memcpy(&value, buffer, sizeof value);
  *out = value;
  return 0;
}

int wlanCheckDevice(const char* ifname, WlanTrace* trace) {
  if (!isWirelessOrPrimary(ifname)) return -1;

  std::uint32_t word = 0;
  int result = wlanWlIoctl(ifname, wlan::kCmdGetMagic, &word, sizeof word, trace);
  if (result < 0) return result;
  if (word != wlan::kDriverMagic) return -1;

  // The word still holds the magic on the way in.
  result = wlanWlIoctl(ifname, wlan::kCmdGetVersion, &word, sizeof word, trace);
  if (result < 0) return result;
  return word == 1 || word == 2 ? 0 : -1;
}

int wlanPstaWetOff(const char* ifname, WlanTrace* trace) {
  if (!isPrimary(ifname)) return -1;
  int psta = 0;
  if (wlanGetIntVar(ifname, "psta", &psta, trace) != 0) return -1;
  int wetTunnel = 0;
  if (wlanGetIntVar(ifname, "wet_tunnel", &wetTunnel, trace) != 0) return -1;
  return psta == 0 && wetTunnel == 0 ? 1 : 0;
}

int wlanCheckBss(const char* ifname, WlanTrace* trace) {
  if (!isWirelessOrPrimary(ifname)) return -1;
  int bss = 0;
  if (wlanGetIntVar(ifname, "bss", &bss, trace) != 0) return -1;
  return bss != 0 ? 0 : 1;
}

int wlanGetAssocList(const char* ifname, void* buffer, int length, WlanTrace* trace) {
  if (ifname == nullptr || buffer == nullptr) return -1;
  const std::uint32_t wanted = wlan::kAssocListMaxWanted;
  if (length < static_cast<int>(sizeof wanted)) return -1;
  std::memcpy(buffer, &wanted, sizeof wanted);
  const int result = wlanWlIoctl(ifname, wlan::kCmdGetAssocList, buffer, length, trace);
  return result < 0 ? result : 0;
}
