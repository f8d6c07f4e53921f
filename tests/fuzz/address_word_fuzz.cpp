// SPDX-License-Identifier: MIT
// Argument reading against the host's strtoul, folded to what a 32-bit
// unsigned long gives (tests/strtoul32.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include "client_check/address_word.h"
#include "tests/strtoul32.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // stops at a NUL
  if (readAddressWord(text.c_str()) != strtoul32(text.c_str())) __builtin_trap();
  return 0;
}
