#include "client_check/arp_lookup.h"

#include <arpa/inet.h>

namespace {

constexpr char kArpTablePath[] = "/proc/net/arp";

// Owns the table's stream for the length of one lookup.
class ArpTableStream {
 public:
  explicit ArpTableStream(const char* path) : stream_(std::fopen(path, "r")) {}
  ~ArpTableStream() {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  ArpTableStream(const ArpTableStream&) = delete;
  ArpTableStream& operator=(const ArpTableStream&) = delete;

  std::FILE* get() const { return stream_; }

 private:
  std::FILE* stream_;
};

// Fills as many bytes of `mac` as the colon-separated numbers reach, keeping
// the low eight bits of each. Returns -1 only when the text is empty.
int parseHardwareAddress(const char* text, MacAddress& mac) {
  unsigned int numbers[6] = {};
  const int parsed = std::sscanf(text, "%x:%x:%x:%x:%x:%x", &numbers[0], &numbers[1], &numbers[2],
                                 &numbers[3], &numbers[4], &numbers[5]);
  if (parsed == EOF) return -1;
  for (int k = 0; k < parsed; ++k) mac[k] = static_cast<std::uint8_t>(numbers[k]);
  return 0;
}

}  // namespace

int arpScanTable(std::FILE* table, in_addr_t address, MacAddress& mac) {
  // A line is read in pieces of at most 199 characters, so no field of a
  // piece can be longer: the address buffer holds 199 characters plus its
  // terminator and the three trailing fields are bounded at 100 by the
  // pattern itself.
  char line[200];
  if (std::fgets(line, sizeof line, table) == nullptr) return -1;  // header

  while (std::fgets(line, sizeof line, table) != nullptr) {
    char ipText[200] = {};
    unsigned int hwType = 0;
    unsigned int flags = 0;
    char hwText[101] = {};
    char mask[101] = {};
    char device[101] = {};
    const int fields = std::sscanf(line, "%199s 0x%x 0x%x %100s %100s %100s\n", ipText, &hwType,
                                   &flags, hwText, mask, device);
    // A malformed or empty line ends the search.
    if (fields < 4) return -1;
    const in_addr_t lineAddress = inet_addr(ipText);
    if (lineAddress == INADDR_NONE || lineAddress != address) continue;
    return parseHardwareAddress(hwText, mac);
  }
  return -1;
}

int arpLookupMac(in_addr_t address, MacAddress& mac) {
  ArpTableStream table(kArpTablePath);
  if (table.get() == nullptr) return -1;
  return arpScanTable(table.get(), address, mac);
}
