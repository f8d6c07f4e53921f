// SPDX-License-Identifier: MIT
#include "client_check/radio.h"

#include <net/if.h>

#include <cstring>

#include "wlan/wlan.h"

namespace {

constexpr std::size_t kAssocListCountBytes = 4;
constexpr std::size_t kAssocEntryBytes = 6;
constexpr std::uint32_t kAssocListCapacity =
    (kAssocListBytes - kAssocListCountBytes) / kAssocEntryBytes;
static_assert(kAssocListCapacity == 74, "entries that fit the list buffer");
static_assert(kInterfaceNameSize == IFNAMSIZ, "an interface name as the kernel takes it");

}  // namespace

int radioReady(int radio, WlanTrace* trace) {
  char name[kInterfaceNameSize];
  secondaryName(name, radio);
  if (wlanCheckDevice(name, trace) != 0) return 0;

  primaryName(name, radio);
  // -1 (the variables cannot be read) passes: only a non-zero value refuses.
  if (wlanPstaWetOff(name, trace) == 0) return 0;
  if (wlanCheckBss(name, trace) != 0) return 0;
  return 1;
}

std::uint32_t assocListEntries(const AssocList& list) {
  std::uint32_t count;
  std::memcpy(&count, list.data(), sizeof count);
  // The driver's count is not trusted to stay within the buffer.
  return count < kAssocListCapacity ? count : kAssocListCapacity;
}

MacAddress assocListEntry(const AssocList& list, std::uint32_t k) {
  MacAddress entry{};
  if (k < kAssocListCapacity)
    std::memcpy(entry.data(), list.data() + kAssocListCountBytes + k * kAssocEntryBytes,
                kAssocEntryBytes);
  return entry;
}

int assocListPosition(const AssocList& list, const MacAddress& mac) {
  const std::uint32_t count = assocListEntries(list);
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::uint8_t* entry = list.data() + kAssocListCountBytes + k * kAssocEntryBytes;
    if (std::memcmp(entry, mac.data(), kAssocEntryBytes) == 0) return static_cast<int>(k);
  }
  return -1;
}

int radioAssocList(int radio, AssocList& list, WlanTrace* trace) {
  char name[kInterfaceNameSize];
  list.fill(0);
  secondaryName(name, radio);
  return wlanGetAssocList(name, list.data(), static_cast<int>(list.size()), trace) != 0 ? -1 : 0;
}

int radioHasClient(int radio, const MacAddress& mac) {
  AssocList list;
  if (radioAssocList(radio, list) != 0) return 0;
  return assocListHasClient(list, mac);
}
