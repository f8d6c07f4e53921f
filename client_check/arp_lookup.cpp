// SPDX-License-Identifier: MIT
#include "client_check/arp_lookup.h"

#include <arpa/inet.h>
#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "client_check/arp_line.h"
#include "client_check/file_descriptor.h"
#include "client_check/piece_reader.h"

namespace {

constexpr char kArpTablePath[] = "/proc/net/arp";

// Reads an address in the form the kernel writes it: four decimal numbers
// up to 255, without leading zeros. inet_addr() reads such text as exactly
// this address. False for any other text.
bool parseCanonicalAddress(TextSlice field, in_addr_t& address) {
  const char* p = field.data;
  const char* const end = p + field.size;
  unsigned char octets[4];
  for (int k = 0; k < 4; ++k) {
    if (k > 0 && (p == end || *p++ != '.')) return false;
    unsigned digit;
    if (p == end || (digit = static_cast<unsigned char>(*p) - '0') > 9) return false;
    unsigned value = digit;
    for (++p; p != end && (digit = static_cast<unsigned char>(*p) - '0') <= 9; ++p) {
      if (value == 0) return false;  // a leading zero: octal to inet_addr()
      value = value * 10 + digit;
      if (value > 255) return false;
    }
    octets[k] = static_cast<unsigned char>(value);
  }
  if (p != end) return false;
  std::memcpy(&address, octets, sizeof address);
  return true;
}

// Whether inet_addr() reads `field` as `address`. The kernel writes every
// address in canonical form, which is read here directly; any other text
// goes to inet_addr() itself.
bool addressMatches(TextSlice field, in_addr_t address) {
  // inet_addr() cannot tell 255.255.255.255 from an error: never a match.
  if (address == INADDR_NONE) return false;
  in_addr_t value;
  if (parseCanonicalAddress(field, value)) return value == address;
  char text[PieceReader::kMaxPiece + 1];
  std::memcpy(text, field.data, field.size);
  text[field.size] = '\0';
  return inet_addr(text) == address;
}

// Notes in `report` how the lookup ended at line `line`, `piece` being that
// line (or none).
void endReport(ArpLookupReport* report, ArpLookupReport::Outcome outcome, unsigned line,
               const char* piece = nullptr, std::size_t size = 0) {
  if (report == nullptr) return;
  report->outcome = outcome;
  report->line = line;
  if (piece != nullptr) {
    std::memcpy(report->text, piece, size < sizeof report->text ? size : sizeof report->text - 1);
    report->text[size < sizeof report->text ? size : sizeof report->text - 1] = '\0';
  }
}

}  // namespace

int arpScanTable(int fd, in_addr_t address, MacAddress& mac, ArpLookupReport* report) {
  static_assert(ArpLine::kMaxPiece == PieceReader::kMaxPiece, "pieces fit the line splitter");
  PieceReader table(fd);
  const char* piece = nullptr;
  std::size_t size = 0;
  if (!table.next(piece, size)) {  // the header, unread
    endReport(report, ArpLookupReport::kNoHeader, 0);
    return -1;
  }

  ArpLine line;
  for (unsigned number = 2; table.next(piece, size); ++number) {
    // A malformed or empty line ends the search.
    if (line.split(piece, size) < 4) {
      endReport(report, ArpLookupReport::kShortLine, number, piece, size);
      return -1;
    }
    if (!addressMatches(line.address(), address)) continue;
    const int result = line.hardwareAddress(mac) < 0 ? -1 : 0;
    endReport(report, result == 0 ? ArpLookupReport::kFound : ArpLookupReport::kShortLine, number,
              piece, size);
    return result;
  }
  endReport(report, ArpLookupReport::kNoLine, 0);
  return -1;
}

int arpLookupMac(in_addr_t address, MacAddress& mac, ArpLookupReport* report) {
  const FileDescriptor table(open(kArpTablePath, O_RDONLY | O_CLOEXEC));
  if (!table.isOpen()) {
    if (report != nullptr) {
      report->outcome = ArpLookupReport::kNoTable;
      report->error = errno;
    }
    return -1;
  }
  return arpScanTable(table.fd(), address, mac, report);
}

int arpAddressOf(const MacAddress& mac, char (&address)[PieceReader::kMaxPiece + 1]) {
  const FileDescriptor fd(open(kArpTablePath, O_RDONLY | O_CLOEXEC));
  if (!fd.isOpen()) return -1;
  PieceReader table(fd.fd());
  const char* piece = nullptr;
  std::size_t size = 0;
  if (!table.next(piece, size)) return -1;
  ArpLine line;
  while (table.next(piece, size)) {
    if (line.split(piece, size) < 4) return -1;
    MacAddress found{};
    if (line.hardwareAddress(found) < 0 || found != mac) continue;
    const TextSlice text = line.address();
    std::memcpy(address, text.data, text.size);
    address[text.size] = '\0';
    return 0;
  }
  return -1;
}
