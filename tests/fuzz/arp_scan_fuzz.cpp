// SPDX-License-Identifier: MIT
// The ARP table scan over arbitrary table bytes: the first four bytes are the
// target address, the rest is the table.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "client_check/arp_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  in_addr_t target;
  std::memcpy(&target, data, sizeof target);
  const int fd = memfd_create("arp", MFD_CLOEXEC);
  if (fd < 0 || write(fd, data + 4, size - 4) != static_cast<ssize_t>(size - 4)) __builtin_trap();
  lseek(fd, 0, SEEK_SET);
  MacAddress mac{};
  const int result = arpScanTable(fd, target, mac);
  close(fd);
  if (result != 0 && result != -1) __builtin_trap();
  if (result != 0 && mac != MacAddress{}) __builtin_trap();  // a miss leaves the MAC alone
  return 0;
}
