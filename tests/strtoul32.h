// SPDX-License-Identifier: MIT
// What a 32-bit strtoul(TEXT, nullptr, 10) gives, from this C library's own:
// directly where unsigned long has 32 bits, folded to 32 bits elsewhere.
// The model the argument reader is compared with (libc_replay, the fuzz
// target).
#ifndef TESTS_STRTOUL32_H
#define TESTS_STRTOUL32_H

#include <stdlib.h>

#include <cstdint>

inline std::uint32_t strtoul32(const char* text) {
  const unsigned long value = strtoul(text, nullptr, 10);
  if (sizeof value == 4) return static_cast<std::uint32_t>(value);
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const unsigned long magnitude = *p == '-' ? 0ul - value : value;  // the sign's wrap undone
  return magnitude > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

#endif  // TESTS_STRTOUL32_H
