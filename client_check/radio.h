// SPDX-License-Identifier: MIT
// Per-radio tests. Radio r has the secondary interface wl<r>.1 and the
// primary interface eth<r+1>. Both tests answer 1 or 0 and never fail: a
// failed driver request answers 0.
#ifndef CLIENT_CHECK_RADIO_H
#define CLIENT_CHECK_RADIO_H

#include <stdio.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "client_check/mac_address.h"

struct WlanTrace;

// The radios examined, in order from radio 0.
constexpr int kRadioCount = 2;

// "wl<radio>.1", the secondary interface, and "eth<radio + 1>", the primary.
constexpr std::size_t kInterfaceNameSize = 16;  // IFNAMSIZ
inline void secondaryName(char (&name)[kInterfaceNameSize], int radio) {
  snprintf(name, sizeof name, "wl%d.1", radio);
}
inline void primaryName(char (&name)[kInterfaceNameSize], int radio) {
  snprintf(name, sizeof name, "eth%d", radio + 1);
}

// An association-list reply: a 32-bit count in host byte order, then six-byte
// entries from byte 4, as many as fit (74).
constexpr std::size_t kAssocListBytes = 448;
using AssocList = std::array<std::uint8_t, kAssocListBytes>;

// 1 when the secondary interface belongs to the driver, "psta" and
// "wet_tunnel" on the primary do not read non-zero (a failed read of either
// does not refuse), and "bss" on the primary reads non-zero. 0 otherwise.
// `trace`, when given, gets the requests made (the first refusal ends them).
int radioReady(int radio, WlanTrace* trace = nullptr);

// 1 when `mac` is in the association list of the radio's secondary
// interface; 0 when it is not or the list cannot be read.
int radioHasClient(int radio, const MacAddress& mac);

// The association list of the radio's secondary interface into `list`
// (zeroed first): 0, or non-zero when it cannot be read.
int radioAssocList(int radio, AssocList& list, WlanTrace* trace = nullptr);

// The entries the list's count names, as far as the buffer holds them.
std::uint32_t assocListEntries(const AssocList& list);

// Entry `k` (below assocListEntries()).
MacAddress assocListEntry(const AssocList& list, std::uint32_t k);

// The first entry that equals `mac`, or -1 when none does. Entries beyond
// the buffer are never read, whatever the count.
int assocListPosition(const AssocList& list, const MacAddress& mac);

// 1 when one of the entries the list's count names equals `mac`, 0 when
// none does.
inline int assocListHasClient(const AssocList& list, const MacAddress& mac) {
  return assocListPosition(list, mac) >= 0 ? 1 : 0;
}

#endif  // CLIENT_CHECK_RADIO_H
