// SPDX-License-Identifier: MIT
// Splitting one piece of ARP table text (as fgets() into a 200-byte buffer
// delivers it) exactly as the C library's
//   sscanf(piece, "%199s 0x%x 0x%x %100s %100s %100s\n", ...)
// splits it, as far as the lookup needs: the conversion count up to four and
// the address field. Lines in the form the kernel writes are split by a fast
// path; anything else goes to sscanf() itself. So does the hardware address
// of the one line that matches, unless the kernel wrote it.
#ifndef CLIENT_CHECK_ARP_LINE_H
#define CLIENT_CHECK_ARP_LINE_H

#include <cstddef>

#include "client_check/mac_address.h"

// A field as a slice of text; not terminated.
struct TextSlice {
  const char* data = nullptr;
  std::size_t size = 0;
};

class ArpLine {
 public:
  static constexpr std::size_t kMaxPiece = 199;

  // Splits a piece of at most kMaxPiece bytes; it ends at its first NUL
  // byte, as a string would. Returns sscanf's result capped at 4: -1 when
  // the piece holds only white space, otherwise the number of conversions
  // made. The address field is valid when the result is at least 1, until
  // the next split.
  int split(const char* piece, std::size_t size);
  TextSlice address() const { return address_; }

  // Parses the last split piece's hardware-address field (the fourth) with
  // "%x:%x:%x:%x:%x:%x", storing the low eight bits of number k in byte k of
  // `mac`. Bytes not reached are left alone. Returns the numbers parsed, or
  // -1 when the field is missing.
  int hardwareAddress(MacAddress& mac);

 private:
  int splitWithScanf();

  const char* piece_ = nullptr;
  std::size_t size_ = 0;
  TextSlice address_;
  const char* hardwareStart_ = nullptr;  // found by the fast path
  // Used only when sscanf() does the work: the piece as a string, and the
  // fields it converts (the trailing ones bounded at 100 by the pattern).
  char text_[kMaxPiece + 1];
  char addressText_[kMaxPiece + 1];
  char hardwareText_[101];
};

#endif  // CLIENT_CHECK_ARP_LINE_H
