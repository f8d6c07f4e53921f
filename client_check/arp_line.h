// Splitting one piece of ARP table text, exactly as the C library's
//   sscanf(piece, "%199s 0x%x 0x%x %100s %100s %100s\n", ...)
// splits it as far as the lookup needs (the conversion count up to four, the
// address field and the hardware-address field), and parsing a hardware
// address exactly as sscanf(text, "%x:%x:%x:%x:%x:%x", ...) does, without
// the cost of the general scanner on every line of a large table.
#ifndef CLIENT_CHECK_ARP_LINE_H
#define CLIENT_CHECK_ARP_LINE_H

#include <cstddef>

#include "client_check/mac_address.h"

// A field as a slice of the piece it came from; not terminated.
struct TextSlice {
  const char* data = nullptr;
  std::size_t size = 0;
};

struct ArpLineFields {
  TextSlice address;  // at most 199 characters
  // Where the hardware-address field starts and the text ends; the field's
  // extent is worked out only for the line that matches.
  const char* hardwareStart = nullptr;
  const char* textEnd = nullptr;

  // At most 100 characters, up to the next white space.
  TextSlice hardwareAddress() const;
};

// The value sscanf returns for the pattern above, capped at 4: -1 when the
// piece holds nothing but white space, otherwise the number of conversions
// made before the first mismatch or the end of the text. The piece ends at
// its first NUL byte or after `size` bytes, whichever comes first. `fields`
// holds the address when the result is at least 1, and the hardware address
// when it is 4.
int splitArpLine(const char* piece, std::size_t size, ArpLineFields& fields);

// Parses "%x:%x:%x:%x:%x:%x" over `text` (no NUL needed), storing the low
// eight bits of number k in byte k of `mac`; bytes not reached are left
// alone. Returns the number of numbers parsed, or -1 for empty text.
int parseHardwareAddress(TextSlice text, MacAddress& mac);

#endif  // CLIENT_CHECK_ARP_LINE_H
