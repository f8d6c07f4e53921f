// SPDX-License-Identifier: MIT
#include "client_check/arp_line.h"

#include <stdio.h>

#include <cstdint>
#include <cstring>

#include "client_check/word_scan.h"

namespace {

using word_scan::firstSetByte;
using word_scan::kHighBits;
using word_scan::kOnes;
using word_scan::loadWord;
using word_scan::Word;

// Past a run of spaces (the kernel pads its columns with them), a word at a
// time.
SCAN_STEP const unsigned char* skipSpaces(const unsigned char* at, const unsigned char* end) {
  while (end - at >= static_cast<std::ptrdiff_t>(sizeof(Word))) {
    const Word notSpace = loadWord(at) ^ (kOnes * ' ');
    if (notSpace != 0) return at + firstSetByte(notSpace);
    at += sizeof(Word);
  }
  while (at != end && *at == ' ') ++at;
  return at;
}

// To the first byte up to ' ' (white space, NUL and other controls), a word
// at a time; bytes from 0x80 up never stop it.
SCAN_STEP const unsigned char* skipPrintable(const unsigned char* at, const unsigned char* end) {
  while (end - at >= static_cast<std::ptrdiff_t>(sizeof(Word))) {
    const Word word = loadWord(at);
    const Word low = (word - kOnes * '!') & ~word & kHighBits;
    if (low != 0) return at + firstSetByte(low);
    at += sizeof(Word);
  }
  while (at != end && *at > ' ') ++at;
  return at;
}

SCAN_STEP bool isHexDigit(unsigned char c) {
  return static_cast<unsigned char>(c - '0') < 10 ||
         static_cast<unsigned char>((c | 0x20) - 'a') < 6;
}

SCAN_STEP unsigned hexValue(unsigned char c) {
  return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// "hh:hh:hh:hh:hh:hh", the kernel's form of an Ethernet address, not followed
// by another hex digit: "%x:%x:%x:%x:%x:%x" reads exactly these six numbers
// from it, whatever else follows.
constexpr std::size_t kKernelMacLength = 17;

bool parseKernelMac(const unsigned char* text, std::size_t size, MacAddress& mac) {
  if (size < kKernelMacLength || (size > kKernelMacLength && isHexDigit(text[kKernelMacLength])))
    return false;
  for (std::size_t k = 0; k < mac.size(); ++k) {
    const unsigned char* group = text + 3 * k;
    if (!isHexDigit(group[0]) || !isHexDigit(group[1]) || (k < 5 && group[2] != ':')) return false;
  }
  for (std::size_t k = 0; k < mac.size(); ++k)
    mac[k] = static_cast<std::uint8_t>(hexValue(text[3 * k]) << 4 | hexValue(text[3 * k + 1]));
  return true;
}

// " 0x%x" in the kernel's form: spaces, "0x", hex digits, then a space.
// Where this holds, sscanf converts the same characters; where it does not,
// the caller lets sscanf decide.
SCAN_STEP const unsigned char* skipHexField(const unsigned char* at, const unsigned char* end) {
  at = skipSpaces(at, end);
  if (end - at < 4 || at[0] != '0' || at[1] != 'x' || !isHexDigit(at[2])) return nullptr;
  for (at += 3; at != end && isHexDigit(*at);) ++at;
  return at != end && *at == ' ' ? at : nullptr;
}

}  // namespace

int ArpLine::split(const char* piece, std::size_t size) {
  piece_ = piece;
  size_ = size;
  hardwareStart_ = nullptr;
  const auto* begin = reinterpret_cast<const unsigned char*>(piece);
  const auto* end = begin + size;
  if (size == 0 || size > kMaxPiece || *begin <= ' ') return splitWithScanf();

  // The address: everything up to the first space.
  const unsigned char* at = skipPrintable(begin, end);
  if (at == end || *at != ' ') return splitWithScanf();
  address_ = {piece, static_cast<std::size_t>(at - begin)};
  // The hardware type and the flags.
  if ((at = skipHexField(at, end)) == nullptr || (at = skipHexField(at, end)) == nullptr)
    return splitWithScanf();
  // The hardware address: converted as soon as one character stands there.
  at = skipSpaces(at, end);
  if (at == end || *at <= ' ') return splitWithScanf();
  hardwareStart_ = reinterpret_cast<const char*>(at);
  return 4;
}

int ArpLine::splitWithScanf() {
  const std::size_t size = size_ < kMaxPiece ? size_ : kMaxPiece;
  std::memcpy(text_, piece_, size);
  text_[size] = '\0';
  unsigned int hardwareType, flags;
  char mask[101], device[101];
  const int fields = sscanf(text_, "%199s 0x%x 0x%x %100s %100s %100s\n", addressText_,
                            &hardwareType, &flags, hardwareText_, mask, device);
  address_ = {addressText_, fields >= 1 ? std::strlen(addressText_) : 0};
  return fields > 4 ? 4 : fields;
}

int ArpLine::hardwareAddress(MacAddress& mac) {
  if (hardwareStart_ != nullptr &&
      parseKernelMac(reinterpret_cast<const unsigned char*>(hardwareStart_),
                     static_cast<std::size_t>(piece_ + size_ - hardwareStart_), mac))
    return 6;
  if (splitWithScanf() < 4) return -1;
  unsigned int numbers[6] = {};
  const int parsed = sscanf(hardwareText_, "%x:%x:%x:%x:%x:%x", &numbers[0], &numbers[1],
                            &numbers[2], &numbers[3], &numbers[4], &numbers[5]);
  for (int k = 0; k < parsed; ++k) mac[k] = static_cast<std::uint8_t>(numbers[k]);
  return parsed;
}
