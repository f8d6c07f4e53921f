#include "client_check/radio.h"

#include <net/if.h>

#include <cstdio>
#include <cstring>

#include "wlan/wlan.h"

namespace {

constexpr std::size_t kAssocListCountBytes = 4;
constexpr std::size_t kAssocEntryBytes = 6;
constexpr std::uint32_t kAssocListCapacity =
    (kAssocListBytes - kAssocListCountBytes) / kAssocEntryBytes;
static_assert(kAssocListCapacity == 74, "entries that fit the list buffer");

// Formats an interface name into a zeroed IFNAMSIZ buffer; false when the
// result is empty or does not fit.
bool formatName(char (&name)[IFNAMSIZ], const char* pattern, int number) {
  std::memset(name, 0, sizeof name);
  const int length = std::snprintf(name, sizeof name, pattern, number);
  return length > 0 && length < static_cast<int>(sizeof name);
}

}  // namespace

int radioReady(int radio) {
  char name[IFNAMSIZ];
  if (!formatName(name, "wl%d.1", radio)) return 0;
  if (wlanCheckDevice(name) != 0) return 0;

  if (!formatName(name, "eth%d", radio + 1)) return 0;
  // -1 (the variables cannot be read) passes: only a non-zero value refuses.
  if (wlanPstaWetOff(name) == 0) return 0;
  if (wlanCheckBss(name) != 0) return 0;
  return 1;
}

int assocListHasClient(const AssocList& list, const MacAddress& mac) {
  std::uint32_t count;
  std::memcpy(&count, list.data(), sizeof count);
  // The driver's count is not trusted to stay within the buffer.
  if (count > kAssocListCapacity) count = kAssocListCapacity;
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::uint8_t* entry = list.data() + kAssocListCountBytes + k * kAssocEntryBytes;
    if (std::memcmp(entry, mac.data(), kAssocEntryBytes) == 0) return 1;
  }
  return 0;
}

int radioHasClient(int radio, const MacAddress& mac) {
  char name[IFNAMSIZ];
  AssocList list{};
  if (!formatName(name, "wl%d.1", radio)) return 0;
  if (wlanGetAssocList(name, list.data(), static_cast<int>(list.size())) != 0) return 0;
  return assocListHasClient(list, mac);
}
