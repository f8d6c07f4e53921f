// SPDX-License-Identifier: MIT
#include "client_check/address_word.h"

#include <gtest/gtest.h>

namespace {

struct WordCase {
  const char* text;
  std::uint32_t word;
};

constexpr WordCase kCases[] = {
    {"83994816", 83994816u},  // 192.168.1.5
    {"1", 1u},
    {"4294967295", 4294967295u},
    {"4294967296", 4294967295u},  // beyond 32 bits saturates
    {"99999999999999999999999", 4294967295u},
    {"-1", 4294967295u},  // negated modulo 2^32
    {"-4294967295", 1u},
    {"-4294967296", 4294967295u},  // magnitude overflows: maximum whatever the sign
    {"-0", 0u},
    {" +7x", 7u},  // white space, sign, trailing text
    {"\t\n\v\f\r 42", 42u},
    {"00000000000000000000012", 12u},  // leading zeros never overflow
    {"12 34", 12u},
    {"0x10", 0u},  // base 10 only
    {"", 0u},
    {" ", 0u},
    {"-", 0u},
    {"+-1", 0u},
    {"abc", 0u},
    {"\xa0"
     "5",
     0u},  // not white space in the C locale
};

TEST(AddressWord, ReadsLikeA32BitStrtoul) {
  for (const WordCase& c : kCases) {
    EXPECT_EQ(readAddressWord(c.text), c.word) << '"' << c.text << '"';
  }
}

}  // namespace
