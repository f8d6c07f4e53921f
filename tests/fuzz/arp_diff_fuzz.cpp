// SPDX-License-Identifier: MIT
// The fast ARP table scan against the C library's reading of the same bytes
// (tests/arp_differential.h): the first four bytes are the target address,
// the rest the table; any difference, or a crash, aborts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/arp_differential.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  in_addr_t target;
  std::memcpy(&target, data, sizeof target);
  const int fd = memfd_create("arp", MFD_CLOEXEC);
  if (fd < 0 || write(fd, data + 4, size - 4) != static_cast<ssize_t>(size - 4)) __builtin_trap();
  std::vector<std::size_t> lengths(size);
  ArpDifferential d;
  compareArpScan(reinterpret_cast<const char*>(data + 4), fd, target, lengths.data(),
                 lengths.size(), d);
  close(fd);
  if (d.disagreement != nullptr) __builtin_trap();
  return 0;
}
