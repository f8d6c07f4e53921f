// SPDX-License-Identifier: MIT
// Reading the command-line argument: the client's IPv4 address word written
// as an unsigned decimal number.
#ifndef CLIENT_CHECK_ADDRESS_WORD_H
#define CLIENT_CHECK_ADDRESS_WORD_H

#include <cstdint>

// Reads `text` exactly as a C library with a 32-bit unsigned long reads it
// with strtoul(text, nullptr, 10), whatever the width of the host's own:
//  - leading white space (" \t\n\v\f\r") and one sign are skipped;
//  - digits are read up to the first non-digit, the rest is ignored;
//  - no digit at all reads 0;
//  - a magnitude beyond 4294967295 reads 4294967295, whatever the sign;
//  - otherwise a minus sign negates the value modulo 2^32.
constexpr std::uint32_t readAddressWord(const char* text) {
  constexpr std::uint64_t kMax = 0xFFFFFFFFu;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '+' || *text == '-') ++text;
  std::uint64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(*text - '0');
    if (magnitude > kMax) return static_cast<std::uint32_t>(kMax);
  }
  const auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

static_assert(readAddressWord("83994816") == 83994816u, "192.168.1.5 on a little-endian host");
static_assert(readAddressWord("-1") == 0xFFFFFFFFu, "a minus sign wraps modulo 2^32");
static_assert(readAddressWord("4294967296") == 0xFFFFFFFFu, "overflow saturates");
static_assert(readAddressWord(" +7x") == 7u, "space, sign and trailing text");

#endif  // CLIENT_CHECK_ADDRESS_WORD_H
