// SPDX-License-Identifier: MIT
// Scanning bytes a machine word at a time (four on the ARM target), for the
// loops that run for every line of large ARP tables.
#ifndef CLIENT_CHECK_WORD_SCAN_H
#define CLIENT_CHECK_WORD_SCAN_H

#include <cstddef>
#include <cstring>

// Small steps, inlined even in a build optimised for size.
#define SCAN_STEP [[gnu::always_inline]] inline

namespace word_scan {

using Word = unsigned long;
constexpr Word kOnes = ~Word{0} / 0xFF;
constexpr Word kHighBits = kOnes * 0x80;

// sizeof(Word) bytes as one word, the first in the lowest byte: swapped on
// a big-endian target (one instruction on MIPS32r2), so that the scans
// below see the bytes in the same places on every target.
SCAN_STEP Word loadWord(const unsigned char* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  if constexpr (sizeof word == 8)
    word = static_cast<Word>(__builtin_bswap64(word));
  else
    word = static_cast<Word>(__builtin_bswap32(static_cast<unsigned>(word)));
#endif
  return word;
}

// The index of the lowest non-zero byte of a non-zero word.
SCAN_STEP unsigned firstSetByte(Word word) {
  return static_cast<unsigned>(__builtin_ctzl(word)) / 8;
}

// Flags the bytes of `word` that are zero: the lowest flag is exact
// (borrows only flag bytes above a true zero).
SCAN_STEP Word zeroBytes(Word word) {
  return (word - kOnes) & ~word & kHighBits;
}

// The first `byte` among the `size` bytes at `text`, or nullptr; reads none
// beyond them. Two words a turn: one test and one branch for both.
SCAN_STEP const char* findByte(const char* text, std::size_t size, unsigned char byte) {
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  const Word pattern = kOnes * byte;
  std::size_t pairs = size / (2 * sizeof(Word));
  for (; pairs != 0; --pairs, at += 2 * sizeof(Word)) {
    const Word first = zeroBytes(loadWord(at) ^ pattern);
    const Word second = zeroBytes(loadWord(at + sizeof(Word)) ^ pattern);
    if ((first | second) != 0) {
      const unsigned offset =
          first != 0 ? firstSetByte(first) : sizeof(Word) + firstSetByte(second);
      return reinterpret_cast<const char*>(at + offset);
    }
  }
  const unsigned char* const end = reinterpret_cast<const unsigned char*>(text) + size;
  for (; at != end; ++at)
    if (*at == byte) return reinterpret_cast<const char*>(at);
  return nullptr;
}

}  // namespace word_scan

#endif  // CLIENT_CHECK_WORD_SCAN_H
