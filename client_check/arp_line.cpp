#include "client_check/arp_line.h"

#include <climits>

namespace {

constexpr int kEndOfText = -1;

// The text being scanned ends at `end` or at its first NUL byte, as a string
// handed to sscanf would.
struct Cursor {
  const char* at;
  const char* end;

  int peek() const {
    return at < end && *at != '\0' ? static_cast<unsigned char>(*at) : kEndOfText;
  }
};

// White space in the C locale, which the tool never changes.
bool isSpace(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

void skipSpace(Cursor& c) {
  while (isSpace(c.peek())) ++c.at;
}

int hexDigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class Scan { kConverted, kMismatch, kEndOfText };

// "%Ns": white space skipped, then up to `width` characters up to the next
// white space.
Scan scanString(Cursor& c, std::size_t width, TextSlice& out) {
  skipSpace(c);
  if (c.peek() == kEndOfText) return Scan::kEndOfText;
  const char* start = c.at;
  for (std::size_t n = 0; n < width; ++n) {
    const int ch = c.peek();
    if (ch == kEndOfText || isSpace(ch)) break;
    ++c.at;
  }
  out = {start, static_cast<std::size_t>(c.at - start)};
  return Scan::kConverted;
}

// A literal character of the pattern, after white space in the pattern when
// `afterSpace` is set.
bool matchLiteral(Cursor& c, char literal, bool afterSpace) {
  if (afterSpace) skipSpace(c);
  if (c.peek() != static_cast<unsigned char>(literal)) return false;
  ++c.at;
  return true;
}

// "%x": white space skipped, an optional sign, an optional "0x" or "0X"
// (whose "0" counts as a digit), then hexadecimal digits; converted as
// strtoul(..., 16) converts them: a magnitude beyond ULONG_MAX gives
// ULONG_MAX whatever the sign, otherwise a minus sign negates.
Scan scanHex(Cursor& c, unsigned long& value) {
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
    if (ch == 'x' || ch == 'X') {
      ++c.at;
      ch = c.peek();
    }
  }
  unsigned long magnitude = 0;
  bool overflow = false;
  for (int digit; (digit = hexDigitValue(ch)) >= 0; ch = c.peek()) {
    anyDigit = true;
    if (magnitude > (ULONG_MAX >> 4)) overflow = true;
    magnitude = magnitude * 16 + static_cast<unsigned long>(digit);
    ++c.at;
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
  if (scanString(c, 100, fields.hardwareAddress) != Scan::kConverted) return 3;
  // The mask and the device take no part in the lookup.
  return 4;
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
