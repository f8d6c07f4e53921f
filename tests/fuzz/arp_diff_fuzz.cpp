// SPDX-License-Identifier: MIT
// Differential: the fast ARP table scan against the C library's reading of
// the same bytes (fgets() into 200 bytes, the sscanf() patterns,
// inet_addr()). The first four bytes are the target address, the rest the
// table. Any difference in the pieces, their split (conversion count and
// address field), the hardware address or the lookup's outcome aborts.
#include <arpa/inet.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "client_check/arp_lookup.h"
#include "client_check/piece_reader.h"
#include "tests/scanf_model.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

// The lookup as the C library does it, piece by piece.
int modelLookup(const std::vector<std::string>& pieces, in_addr_t target, MacAddress& mac) {
  if (pieces.empty()) return -1;
  for (std::size_t k = 1; k < pieces.size(); ++k) {
    const ScanfSplit split = scanfSplit(pieces[k]);
    if (split.fields < 4) return -1;
    const in_addr_t value = inet_addr(split.address.c_str());
    if (value == INADDR_NONE || value != target) continue;
    const ScanfMac parsed = scanfMac(split.hardwareAddress);
    if (parsed.parsed == EOF) return -1;
    for (int b = 0; b < parsed.parsed; ++b) mac[b] = parsed.mac[b];
    return 0;
  }
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  in_addr_t target;
  std::memcpy(&target, data, sizeof target);
  const int fd = memfd_create("arp", MFD_CLOEXEC);
  check(fd >= 0);
  check(write(fd, data + 4, size - 4) == static_cast<ssize_t>(size - 4));

  lseek(fd, 0, SEEK_SET);
  const std::vector<std::string> expected = fgetsPieces(fd);
  lseek(fd, 0, SEEK_SET);
  {
    PieceReader reader(fd);
    const char* piece;
    std::size_t length;
    std::size_t k = 0;
    for (; reader.next(piece, length); ++k) {
      check(k < expected.size() && expected[k] == std::string(piece, length));
      const std::string text(piece, length);
      const ScanfSplit want = scanfSplit(text);
      const ScanfSplit got = fastSplit(text);
      check(got.fields == want.fields && got.address == want.address);
      if (got.fields == 4) {
        const ScanfMac wantMac = scanfMac(want.hardwareAddress);
        const ScanfMac gotMac = fastMac(text);
        check(gotMac.parsed == wantMac.parsed && gotMac.mac == wantMac.mac);
      }
    }
    check(k == expected.size());
  }

  lseek(fd, 0, SEEK_SET);
  MacAddress fast{}, model{};
  const int fastResult = arpScanTable(fd, target, fast);
  check(fastResult == modelLookup(expected, target, model) && fast == model);
  close(fd);
  return 0;
}
