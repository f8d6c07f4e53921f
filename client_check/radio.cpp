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

// Formats "<prefix><number><suffix>" (as "wl%d.1" or "eth%d" would) into a
// zeroed IFNAMSIZ buffer; false when the result does not fit. Written out
// rather than through snprintf(): the tool runs once per request, and every
// C library function it binds costs start-up time.
bool formatName(char (&name)[IFNAMSIZ], const char* prefix, int number, const char* suffix) {
  std::memset(name, 0, sizeof name);
  std::size_t length = 0;
  auto append = [&](char c) {
    if (length + 1 < sizeof name) name[length] = c;
    ++length;
  };
  for (const char* p = prefix; *p != '\0'; ++p) append(*p);
  if (number < 0) append('-');
  // Decimal digits by subtraction: a build optimised for size would call a
  // division routine, which the ARM target has to carry along.
  static constexpr unsigned kPowersOfTen[] = {1000000000, 100000000, 10000000, 1000000, 100000,
                                              10000,      1000,      100,      10,      1};
  unsigned magnitude =
      number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
  bool leading = true;
  for (const unsigned power : kPowersOfTen) {
    char digit = '0';
    for (; magnitude >= power; magnitude -= power) ++digit;
    leading = leading && digit == '0' && power != 1;
    if (!leading) append(digit);
  }
  for (const char* p = suffix; *p != '\0'; ++p) append(*p);
  if (length < sizeof name) return length > 0;
  std::memset(name, 0, sizeof name);
  return false;
}

}  // namespace

int radioReady(int radio) {
  char name[IFNAMSIZ];
  if (!formatName(name, "wl", radio, ".1")) return 0;
  if (wlanCheckDevice(name) != 0) return 0;

  if (!formatName(name, "eth", radio + 1, "")) return 0;
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
  if (!formatName(name, "wl", radio, ".1")) return 0;
  if (wlanGetAssocList(name, list.data(), static_cast<int>(list.size())) != 0) return 0;
  return assocListHasClient(list, mac);
}
