// SPDX-License-Identifier: MIT
// The association-list search over arbitrary reply bytes, any count included:
// the first six bytes are the MAC, the rest the reply (zero-padded to 448).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "client_check/radio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  MacAddress mac;
  std::memcpy(mac.data(), data, mac.size());
  AssocList list{};
  std::memcpy(list.data(), data + 6, std::min(size - 6, list.size()));

  // A plain model: the entries the count names, as far as the buffer holds them.
  std::uint32_t count;
  std::memcpy(&count, list.data(), sizeof count);
  int expected = 0;
  for (std::size_t k = 0; k < count && 4 + 6 * (k + 1) <= list.size(); ++k)
    if (std::equal(mac.begin(), mac.end(), list.begin() + 4 + 6 * k)) expected = 1;
  if (assocListHasClient(list, mac) != expected) __builtin_trap();
  return 0;
}
