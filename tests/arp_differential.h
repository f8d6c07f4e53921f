// SPDX-License-Identifier: MIT
// The fast ARP table scan against the C library's own reading of the same
// bytes, as the scan must reproduce it: the pieces fgets() reads into a
// 200-byte buffer, each one's sscanf() split and "%x:%x:%x:%x:%x:%x" MAC
// parse, and the whole lookup with inet_addr(). Without the C++ library: the
// unit tests, the differential fuzz target and libc_replay (on every C
// library) compare through it.
#ifndef TESTS_ARP_DIFFERENTIAL_H
#define TESTS_ARP_DIFFERENTIAL_H

#include <arpa/inet.h>
#include <unistd.h>

#include <stdio.h>
#include <string.h>

#include "client_check/arp_line.h"
#include "client_check/arp_lookup.h"
#include "client_check/piece_reader.h"

// sscanf's split of a piece, which it reads as a C string (to its first NUL).
struct ScanfSplit {
  int fields;  // sscanf's result, capped at 4
  char address[200];
  char hardwareAddress[101];
};

inline ScanfSplit scanfSplit(const char* piece, std::size_t size) {
  char text[200] = {}, mask[101], device[101];
  memcpy(text, piece, size < sizeof text - 1 ? size : sizeof text - 1);
  ScanfSplit out{};
  unsigned type = 0, flags = 0;
  out.fields = sscanf(text, "%199s 0x%x 0x%x %100s %100s %100s\n", out.address, &type, &flags,
                      out.hardwareAddress, mask, device);
  if (out.fields > 4) out.fields = 4;
  if (out.fields < 1) out.address[0] = '\0';
  if (out.fields < 4) out.hardwareAddress[0] = '\0';
  return out;
}

// sscanf's MAC parse: what it returns (a count, or EOF), the bytes in `mac`.
inline int scanfMac(const char* text, MacAddress& mac) {
  unsigned v[6] = {};
  const int parsed = sscanf(text, "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
  for (int k = 0; k < parsed; ++k) mac[k] = static_cast<std::uint8_t>(v[k]);
  return parsed;
}

// What a comparison ran, and the first step where the scan and the C
// library disagree (null when they agree throughout).
struct ArpDifferential {
  unsigned long pieces = 0, splits = 0, addresses = 0, macs = 0, lookups = 0;
  const char* disagreement = nullptr;
};

// Compares them on `table`, which `fd` holds from offset 0, for `target`;
// `lengths` has room for `most` pieces' lengths.
inline void compareArpScan(const char* table, int fd, in_addr_t target, std::size_t* lengths,
                           std::size_t most, ArpDifferential& d) {
  // The pieces fgets() reads, by the stream position before and after each.
  std::size_t count = 0;
  lseek(fd, 0, SEEK_SET);
  FILE* stream = fdopen(dup(fd), "r");
  if (stream == nullptr) {
    d.disagreement = "nothing: the table cannot be read";
    return;
  }
  char line[200];
  long before = ftell(stream);
  while (count < most && fgets(line, sizeof line, stream) != nullptr) {
    const long after = ftell(stream);
    lengths[count++] = static_cast<std::size_t>(after - before);
    before = after;
  }
  fclose(stream);
  ++d.pieces;

  // Piece by piece: the reader, the split, the MAC.
  lseek(fd, 0, SEEK_SET);
  PieceReader reader(fd);
  const char* piece;
  std::size_t length, offset = 0, k = 0;
  for (; reader.next(piece, length); offset += length, ++k) {
    if (k >= count || length != lengths[k] || memcmp(piece, table + offset, length) != 0) {
      d.disagreement = "the pieces (fgets)";
      return;
    }
    const ScanfSplit want = scanfSplit(piece, length);
    ArpLine split;
    const int fields = split.split(piece, length);
    ++d.splits;
    if (fields != want.fields ||
        (fields >= 1 && (split.address().size != strlen(want.address) ||
                         memcmp(split.address().data, want.address, split.address().size)))) {
      d.disagreement = "the split (sscanf)";
      return;
    }
    if (fields == 4) {
      MacAddress wantMac{}, gotMac{};
      ++d.macs;
      if (split.hardwareAddress(gotMac) != scanfMac(want.hardwareAddress, wantMac) ||
          gotMac != wantMac) {
        d.disagreement = "the MAC (sscanf)";
        return;
      }
    }
  }
  if (k != count) {
    d.disagreement = "the number of pieces (fgets)";
    return;
  }

  // The whole lookup, as the C library reads the table.
  int wantResult = -1;
  MacAddress wantMac{}, gotMac{};
  for (k = 1, offset = count > 0 ? lengths[0] : 0; k < count; offset += lengths[k], ++k) {
    const ScanfSplit split = scanfSplit(table + offset, lengths[k]);
    if (split.fields < 4) break;
    const in_addr_t value = inet_addr(split.address);
    ++d.addresses;
    if (value == INADDR_NONE || value != target) continue;
    wantResult = scanfMac(split.hardwareAddress, wantMac) == EOF ? -1 : 0;
    break;
  }
  lseek(fd, 0, SEEK_SET);
  ++d.lookups;
  if (arpScanTable(fd, target, gotMac) != wantResult || gotMac != wantMac)
    d.disagreement = "the lookup";
}

#endif  // TESTS_ARP_DIFFERENTIAL_H
