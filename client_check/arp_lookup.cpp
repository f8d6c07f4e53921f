#include "client_check/arp_lookup.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "client_check/arp_line.h"
#include "client_check/piece_reader.h"

namespace {

constexpr char kArpTablePath[] = "/proc/net/arp";

// Owns the table's descriptor for the length of one lookup.
class ArpTableFile {
 public:
  explicit ArpTableFile(const char* path) : fd_(open(path, O_RDONLY | O_CLOEXEC)) {}
  ~ArpTableFile() {
    if (fd_ >= 0) close(fd_);
  }
  ArpTableFile(const ArpTableFile&) = delete;
  ArpTableFile& operator=(const ArpTableFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_;
};

// An address in the form the kernel writes: four decimal numbers without
// leading zeros. inet_addr() reads such text as exactly that address, and
// no other text of this form as the same address.
struct DottedQuad {
  char text[16];
  std::size_t size;

  explicit DottedQuad(in_addr_t address) : text{}, size(0) {
    unsigned char octets[4];
    std::memcpy(octets, &address, sizeof octets);
    for (unsigned char octet : octets) {
      if (size > 0) text[size++] = '.';
      if (octet >= 100) text[size++] = static_cast<char>('0' + octet / 100);
      if (octet >= 10) text[size++] = static_cast<char>('0' + octet / 10 % 10);
      text[size++] = static_cast<char>('0' + octet % 10);
    }
  }

  bool equals(TextSlice slice) const {
    return slice.size == size && std::memcmp(slice.data, text, size) == 0;
  }

  static bool isCanonical(TextSlice slice) {
    const char* p = slice.data;
    const char* end = p + slice.size;
    for (int part = 0; part < 4; ++part) {
      if (part > 0 && (p == end || *p++ != '.')) return false;
      const char* start = p;
      unsigned value = 0;
      while (p < end && *p >= '0' && *p <= '9' && p - start < 3)
        value = value * 10 + static_cast<unsigned>(*p++ - '0');
      const auto digits = p - start;
      if (digits == 0 || value > 255 || (digits > 1 && *start == '0')) return false;
    }
    return p == end;
  }
};

// Whether inet_addr() reads `field` as `address`. The kernel writes every
// address in canonical form, so one comparison settles nearly every line;
// any other text goes to inet_addr() itself.
bool addressMatches(TextSlice field, in_addr_t address, const DottedQuad& target) {
  // inet_addr() cannot tell 255.255.255.255 from an error: never a match.
  if (address == INADDR_NONE) return false;
  if (target.equals(field)) return true;
  if (DottedQuad::isCanonical(field)) return false;
  char text[PieceReader::kMaxPiece + 1];
  std::memcpy(text, field.data, field.size);
  text[field.size] = '\0';
  return inet_addr(text) == address;
}

}  // namespace

int arpScanTable(int fd, in_addr_t address, MacAddress& mac) {
  PieceReader table(fd);
  const char* piece = nullptr;
  std::size_t size = 0;
  if (!table.next(piece, size)) return -1;  // the header, unread

  const DottedQuad target(address);
  while (table.next(piece, size)) {
    ArpLineFields fields;
    // A malformed or empty line ends the search.
    if (splitArpLine(piece, size, fields) < 4) return -1;
    if (!addressMatches(fields.address, address, target)) continue;
    return parseHardwareAddress(fields.hardwareAddress, mac) < 0 ? -1 : 0;
  }
  return -1;
}

int arpLookupMac(in_addr_t address, MacAddress& mac) {
  ArpTableFile table(kArpTablePath);
  if (!table.isOpen()) return -1;
  return arpScanTable(table.fd(), address, mac);
}
