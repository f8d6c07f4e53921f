// SPDX-License-Identifier: MIT
// Argument reading against a plain model: the host's 64-bit strtoul, folded
// to what a 32-bit unsigned long gives.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "client_check/address_word.h"

namespace {

std::uint32_t model(const char* text) {
  errno = 0;
  const unsigned long long value = std::strtoull(text, nullptr, 10);
  if (errno == ERANGE) return 0xFFFFFFFFu;  // beyond 64 bits: beyond 32 too
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  const unsigned long long magnitude = negative ? 0ull - value : value;
  if (magnitude > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(value);  // the low 32 bits carry the sign's wrap
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // stops at a NUL
  if (readAddressWord(text.c_str()) != model(text.c_str())) __builtin_trap();
  return 0;
}
