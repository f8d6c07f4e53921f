// SPDX-License-Identifier: MIT
// The C library's own reading of the ARP table, as the fast scan must
// reproduce it: fgets() into a 200-byte buffer, the sscanf() patterns.
#ifndef TESTS_SCANF_MODEL_H
#define TESTS_SCANF_MODEL_H

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client_check/arp_line.h"

// The pieces fgets() into a 200-byte buffer reads from `fd`, from its
// current position; NUL bytes included (the stream position tells each
// piece's length).
inline std::vector<std::string> fgetsPieces(int fd) {
  std::vector<std::string> pieces;
  std::FILE* stream = fdopen(dup(fd), "r");
  if (stream == nullptr) return pieces;
  char line[200];
  long before = std::ftell(stream);
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    const long after = std::ftell(stream);
    pieces.emplace_back(line, static_cast<std::size_t>(after - before));
    before = after;
  }
  std::fclose(stream);
  return pieces;
}

struct ScanfSplit {
  int fields;  // sscanf's result, capped at 4
  std::string address;
  std::string hardwareAddress;  // filled by the C library's split only
};

// `piece` is split as a C string, so it ends at its first NUL byte.
inline ScanfSplit scanfSplit(const std::string& piece) {
  char address[200] = {}, hw[101] = {}, mask[101] = {}, device[101] = {};
  unsigned type = 0, flags = 0;
  int n = std::sscanf(piece.c_str(), "%199s 0x%x 0x%x %100s %100s %100s\n", address, &type, &flags,
                      hw, mask, device);
  return {n > 4 ? 4 : n, n >= 1 ? address : "", n >= 4 ? hw : ""};
}

struct ScanfMac {
  int parsed;
  MacAddress mac;
};

inline ScanfMac scanfMac(const std::string& text) {
  unsigned v[6] = {};
  ScanfMac out{
      std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]), {}};
  for (int k = 0; k < out.parsed; ++k) out.mac[k] = static_cast<std::uint8_t>(v[k]);
  return out;
}

inline ScanfSplit fastSplit(const std::string& piece) {
  ArpLine line;
  const int n = line.split(piece.data(), piece.size());
  return {n, n >= 1 ? std::string(line.address().data, line.address().size) : "", ""};
}

// The MAC parse of a whole piece through the line splitter.
inline ScanfMac fastMac(const std::string& piece) {
  ArpLine line;
  ScanfMac out{0, {}};
  line.split(piece.data(), piece.size());
  out.parsed = line.hardwareAddress(out.mac);
  return out;
}

#endif  // TESTS_SCANF_MODEL_H
