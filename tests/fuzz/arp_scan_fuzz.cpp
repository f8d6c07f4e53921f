// The ARP table scan over arbitrary table bytes: the first four bytes are the
// target address, the rest is the table.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "client_check/arp_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  in_addr_t target;
  std::memcpy(&target, data, sizeof target);
  std::vector<std::uint8_t> table(data + 4, data + size);
  std::FILE* stream = fmemopen(table.empty() ? nullptr : table.data(), table.size(), "r");
  if (stream == nullptr) return 0;
  MacAddress mac{};
  const int result = arpScanTable(stream, target, mac);
  std::fclose(stream);
  if (result != 0 && result != -1) __builtin_trap();
  if (result != 0 && mac != MacAddress{}) __builtin_trap();  // a miss leaves the MAC alone
  return 0;
}
