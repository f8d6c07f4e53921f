#include "client_check/arp_line.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

// The scanner's small steps run for every character of every line: they are
// inlined even in a build optimised for size.
#define SCAN_STEP [[gnu::always_inline]] inline

namespace {

constexpr int kEndOfText = -1;

// Character classes for the scanner: white space in the C locale (which the
// tool never changes), and the NUL byte, where a string handed to sscanf
// ends.
constexpr std::uint8_t kSpace = 1;
constexpr std::uint8_t kNul = 2;

struct CharTables {
  std::uint8_t classOf[256];
  std::int8_t hexValue[256];  // -1 for a character that is not a hex digit
};

constexpr CharTables makeCharTables() {
  CharTables t{};
  for (int c = 0; c < 256; ++c) {
    t.classOf[c] = c == ' ' || (c >= '\t' && c <= '\r') ? kSpace : c == 0 ? kNul : 0;
    t.hexValue[c] = c >= '0' && c <= '9'   ? static_cast<std::int8_t>(c - '0')
                    : c >= 'a' && c <= 'f' ? static_cast<std::int8_t>(c - 'a' + 10)
                    : c >= 'A' && c <= 'F' ? static_cast<std::int8_t>(c - 'A' + 10)
                                           : -1;
  }
  return t;
}

constexpr CharTables kChars = makeCharTables();

SCAN_STEP std::uint8_t classOf(char c) {
  return kChars.classOf[static_cast<unsigned char>(c)];
}

// The text being scanned ends at `end` or at its first NUL byte.
struct Cursor {
  const char* at;
  const char* end;

  SCAN_STEP bool atEnd() const { return at == end || *at == '\0'; }
  SCAN_STEP int peek() const { return atEnd() ? kEndOfText : static_cast<unsigned char>(*at); }
};

// Eight characters as one word, the first in the lowest byte.
SCAN_STEP std::uint64_t loadWord(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  word = __builtin_bswap64(word);
#endif
  return word;
}

// The index of the lowest non-zero byte of a non-zero word.
SCAN_STEP unsigned firstSetByte(std::uint64_t word) {
  return static_cast<unsigned>(__builtin_ctzll(word)) / 8;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

SCAN_STEP void skipSpace(Cursor& c) {
  // Nothing above ' ' is white space: the common case of no space at all.
  if (c.at != c.end && static_cast<unsigned char>(*c.at) > ' ') return;
  // The kernel pads its columns with runs of spaces: skipped a word at a time.
  while (c.end - c.at >= 8) {
    const std::uint64_t notSpace = loadWord(c.at) ^ (kOnes * ' ');
    if (notSpace != 0) {
      c.at += firstSetByte(notSpace);
      break;
    }
    c.at += 8;
  }
  while (c.at != c.end && classOf(*c.at) == kSpace) ++c.at;
}

// Moves to the next white space or NUL byte, at most `limit`.
SCAN_STEP void skipToSpace(Cursor& c, const char* limit) {
  // White space and NUL are all below '!': a word at a time, the first byte
  // below it stops the fast loop (bytes from 0x80 up never do).
  while (limit - c.at >= 8) {
    const std::uint64_t word = loadWord(c.at);
    const std::uint64_t low = (word - kOnes * '!') & ~word & kHighBits;
    if (low != 0) {
      c.at += firstSetByte(low);
      break;
    }
    c.at += 8;
  }
  while (c.at != limit && classOf(*c.at) == 0) ++c.at;
}

enum class Scan { kConverted, kMismatch, kEndOfText };

// "%Ns": white space skipped, then up to `width` characters up to the next
// white space.
SCAN_STEP Scan scanString(Cursor& c, std::size_t width, TextSlice& out) {
  skipSpace(c);
  if (c.atEnd()) return Scan::kEndOfText;
  const char* start = c.at;
  skipToSpace(c, c.end - c.at > static_cast<std::ptrdiff_t>(width) ? c.at + width : c.end);
  out = {start, static_cast<std::size_t>(c.at - start)};
  return Scan::kConverted;
}

// A literal character of the pattern, after white space in the pattern when
// `afterSpace` is set.
SCAN_STEP bool matchLiteral(Cursor& c, char literal, bool afterSpace) {
  if (afterSpace) skipSpace(c);
  if (c.at == c.end || *c.at != literal) return false;  // NUL is never a literal here
  ++c.at;
  return true;
}

// "%x": white space skipped, an optional sign, an optional "0x" or "0X"
// (whose "0" counts as a digit), then hexadecimal digits; converted as
// strtoul(..., 16) converts them: a magnitude beyond ULONG_MAX gives
// ULONG_MAX whatever the sign, otherwise a minus sign negates.
SCAN_STEP Scan scanHex(Cursor& c, unsigned long& value) {
  skipSpace(c);
  int ch = c.peek();
  if (ch == kEndOfText) return Scan::kEndOfText;
  const bool negative = ch == '-';
  if (ch == '-' || ch == '+') {
    ++c.at;
    ch = c.peek();
  }
  bool anyDigit = false;
  if (ch == '0') {
    anyDigit = true;
    ++c.at;
    ch = c.peek();
    if (ch == 'x' || ch == 'X') ++c.at;
  }
  unsigned long magnitude = 0;
  bool overflow = false;
  for (int digit;
       c.at != c.end && (digit = kChars.hexValue[static_cast<unsigned char>(*c.at)]) >= 0; ++c.at) {
    anyDigit = true;
    if (magnitude > (ULONG_MAX >> 4)) overflow = true;
    magnitude = magnitude * 16 + static_cast<unsigned long>(digit);
  }
  if (!anyDigit) return Scan::kMismatch;
  value = overflow ? ULONG_MAX : negative ? 0ul - magnitude : magnitude;
  return Scan::kConverted;
}

}  // namespace

int splitArpLine(const char* piece, std::size_t size, ArpLineFields& fields) {
  Cursor c{piece, piece + size};
  unsigned long ignored = 0;
  if (scanString(c, 199, fields.address) != Scan::kConverted) return -1;
  if (!matchLiteral(c, '0', true) || !matchLiteral(c, 'x', false)) return 1;
  if (scanHex(c, ignored) != Scan::kConverted) return 1;  // hardware type
  if (!matchLiteral(c, '0', true) || !matchLiteral(c, 'x', false)) return 2;
  if (scanHex(c, ignored) != Scan::kConverted) return 2;  // flags
  // "%100s" converts as soon as one character stands after the white space.
  skipSpace(c);
  if (c.atEnd()) return 3;
  fields.hardwareStart = c.at;
  fields.textEnd = c.end;
  // The mask and the device take no part in the lookup.
  return 4;
}

TextSlice ArpLineFields::hardwareAddress() const {
  Cursor c{hardwareStart, textEnd};
  TextSlice field;
  scanString(c, 100, field);
  return field;
}

int parseHardwareAddress(TextSlice text, MacAddress& mac) {
  Cursor c{text.data, text.data + text.size};
  int parsed = 0;
  for (std::size_t k = 0; k < mac.size(); ++k) {
    if (k > 0 && !matchLiteral(c, ':', false)) break;
    unsigned long number = 0;
    const Scan scan = scanHex(c, number);
    if (scan == Scan::kEndOfText && parsed == 0) return -1;
    if (scan != Scan::kConverted) break;
    mac[k] = static_cast<std::uint8_t>(number);
    ++parsed;
  }
  return parsed;
}
