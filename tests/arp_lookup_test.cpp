// SPDX-License-Identifier: MIT
#include "client_check/arp_lookup.h"
#include "client_check/arp_line.h"

#include <arpa/inet.h>

#include <cstring>

#include <string>

#include "tests/fake_driver.h"

namespace {

const std::string kHeader =
    "IP address       HW type     Flags       HW address            Mask     Device\n";

std::string row(const std::string& ip, const std::string& mac, const std::string& device = "br0",
                const std::string& flags = "0x2") {
  return ip + "         0x1         " + flags + "         " + mac + "     *        " + device +
         "\n";
}

// The usual client's line, with its usual MAC unless told otherwise.
const std::string kMac5 = "02:00:00:00:00:05";
std::string at5(const std::string& mac = kMac5, const std::string& device = "br0",
                const std::string& flags = "0x2") {
  return row("192.168.1.5", mac, device, flags);
}

// A table: the kernel's header line, then `lines`.
struct ScanCase {
  const char* name;
  std::string lines;
  int result;
  MacAddress mac;
  const char* target = "192.168.1.5";
  bool header = true;
};
const MacAddress kFive = {2, 0, 0, 0, 0, 5}, kEight = {2, 0, 0, 0, 0, 8},
                 kTen = {2, 0, 0, 0, 0, 10}, kNone = {};

// A line longer than 199 characters arrives in two pieces; the second one is
// split as a line of its own.
std::string overlongLine() {
  std::string first = "10.0.0.1 0x1 0x2 aa:bb:cc:dd:ee:ff * ";
  first.resize(199, ' ');
  return first + at5();
}

const ScanCase kScanCases[] = {
    {"empty table", "", -1, kNone, "192.168.1.5", false},
    {"header only", "", -1, kNone},
    {"single entry", at5("a0:b1:c2:d3:e4:f5"), 0, {0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5}},
    {"not present", row("192.168.1.6", "02:00:00:00:00:06"), -1, kNone},
    {"malformed line ends the search", "192.168.1.4 0x1\n" + at5(), -1, kNone},
    {"empty line ends the search", "\n" + at5(), -1, kNone},
    {"first of two wins", at5("02:00:00:00:00:01") + at5(), 0, {2, 0, 0, 0, 0, 1}},
    {"invalid dotted text is skipped", row("192.168.1.500", "02:00:00:00:00:01") + at5(), 0, kFive},
    {"three numbers fill three bytes", at5("aa:bb:cc"), 0, {0xaa, 0xbb, 0xcc, 0, 0, 0}},
    {"unpadded numbers", at5("1:2:3:4:5:6"), 0, {1, 2, 3, 4, 5, 6}},
    {"only the low eight bits", at5("1ff:2:3:4:5:6"), 0, {0xff, 2, 3, 4, 5, 6}},
    {"another device matches", at5(kMac5, "eth0"), 0, kFive},
    {"incomplete entry matches with a zero MAC", at5("00:00:00:00:00:00", "br0", "0x0"), 0, kNone},
    {"all-ones target is never found", row("255.255.255.255", kMac5), -1, kNone, "255.255.255.255"},
    {"a piece of an overlong line is a line of its own", overlongLine(), 0, kFive},
    {"199 characters of address are one field", std::string(199, '1') + "\n" + at5(), -1, kNone},
    {"a leading zero reads as octal, as inet_addr reads it",
     row("192.168.1.010", "02:00:00:00:00:08") + row("192.168.1.10", "02:00:00:00:00:0a"), 0, kTen,
     "192.168.1.10"},
    {"a leading-zero octet matches its octal value", row("192.168.01.010", "02:00:00:00:00:08"), 0,
     kEight, "192.168.1.8"},
    {"a line of three fields ends the search", "192.168.1.4 0x1 0x2\n" + at5(), -1, kNone},
    {"an octet of 256 is no address", row("192.168.1.256", kMac5), -1, kNone, "192.168.1.0"},
    {"no fifth colon: the numbers end there",
     at5("02:c1:1e:00:00-05"),
     0,
     {2, 0xc1, 0x1e, 0, 0, 0}},
    {"bytes from 0x80 up in a device name are no line end",
     row("192.168.1.4", kMac5, "br\xc3\xa9-guest0") + at5(), 0, kFive},
    // Two line ends in one pair of machine words: the first one ends the
    // header, and the one-field line after it ends the search.
    {"the first of two line ends in a pair of words",
     "IP\n" + std::string(sizeof(unsigned long) - 2, 'x') + "\n" + at5(), -1, kNone, "192.168.1.5",
     false},
    {"addresses in inet_addr's other forms", row("0xc0.168.1.5", kMac5), 0, kFive},
};

TEST(ArpScan, Table) {
  for (const ScanCase& c : kScanCases) {
    const std::string text = (c.header ? kHeader : "") + c.lines;
    std::FILE* table = tmpfile();
    ASSERT_NE(table, nullptr);
    std::fputs(text.c_str(), table);
    std::rewind(table);
    MacAddress mac{};
    EXPECT_EQ(arpScanTable(fileno(table), inet_addr(c.target), mac), c.result) << c.name;
    EXPECT_EQ(mac, c.mac) << c.name;
    // Reported, the same scan tells how it ended, and at which line.
    std::rewind(table);
    ArpLookupReport report;
    MacAddress reported{};
    EXPECT_EQ(arpScanTable(fileno(table), inet_addr(c.target), reported, &report), c.result)
        << c.name;
    EXPECT_EQ(reported, c.mac) << c.name;
    EXPECT_EQ(report.outcome == ArpLookupReport::kFound, c.result == 0) << c.name;
    EXPECT_EQ(report.outcome == ArpLookupReport::kNoHeader, text.empty()) << c.name;
    ArpLine line;
    const int fields = line.split(report.text, std::strlen(report.text));
    if (report.outcome == ArpLookupReport::kFound) {
      EXPECT_GE(fields, 4) << c.name;
    } else if (report.outcome == ArpLookupReport::kShortLine) {
      EXPECT_LT(fields, 4) << c.name;
      EXPECT_GE(report.line, 2u) << c.name;
    }
    std::fclose(table);
  }
}

using ArpLookup = FakeDriverTest;

TEST_F(ArpLookup, UnreadableTableIsNotFound) {
  MacAddress mac{};
  EXPECT_EQ(arpLookupMac(inet_addr("192.168.1.5"), mac), -1);
  ArpLookupReport report;
  report.outcome = ArpLookupReport::kFound;
  EXPECT_EQ(arpLookupMac(inet_addr("192.168.1.5"), mac, &report), -1);
  EXPECT_EQ(report.outcome, ArpLookupReport::kNoTable);
  EXPECT_NE(report.error, 0);
  char address[PieceReader::kMaxPiece + 1];
  EXPECT_EQ(arpAddressOf(mac, address), -1);
}

}  // namespace
