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

struct ScanCase {
  const char* name;
  std::string table;
  int result;
  MacAddress mac;
  const char* target = "192.168.1.5";
};
const MacAddress kFive = {2, 0, 0, 0, 0, 5}, kNone = {};

// A line longer than 199 characters arrives in two pieces; the second one is
// split as a line of its own.
std::string overlongLine() {
  std::string first = "10.0.0.1 0x1 0x2 aa:bb:cc:dd:ee:ff * ";
  first.resize(199, ' ');
  return first + at5();
}

const ScanCase kScanCases[] = {
    {"empty table", "", -1, kNone},
    {"header only", kHeader, -1, kNone},
    {"single entry", kHeader + at5("a0:b1:c2:d3:e4:f5"), 0, {0xa0, 0xb1, 0xc2, 0xd3, 0xe4, 0xf5}},
    {"not present", kHeader + row("192.168.1.6", "02:00:00:00:00:06"), -1, kNone},
    {"malformed line ends the search", kHeader + "192.168.1.4 0x1\n" + at5(), -1, kNone},
    {"empty line ends the search", kHeader + "\n" + at5(), -1, kNone},
    {"first of two wins", kHeader + at5("02:00:00:00:00:01") + at5(), 0, {2, 0, 0, 0, 0, 1}},
    {"invalid dotted text is skipped", kHeader + row("192.168.1.500", "02:00:00:00:00:01") + at5(),
     0, kFive},
    {"three numbers fill three bytes", kHeader + at5("aa:bb:cc"), 0, {0xaa, 0xbb, 0xcc, 0, 0, 0}},
    {"unpadded numbers", kHeader + at5("1:2:3:4:5:6"), 0, {1, 2, 3, 4, 5, 6}},
    {"only the low eight bits", kHeader + at5("1ff:2:3:4:5:6"), 0, {0xff, 2, 3, 4, 5, 6}},
    {"another device matches", kHeader + at5(kMac5, "eth0"), 0, kFive},
    {"incomplete entry matches with a zero MAC", kHeader + at5("00:00:00:00:00:00", "br0", "0x0"),
     0, kNone},
    {"all-ones target is never found", kHeader + row("255.255.255.255", kMac5), -1, kNone,
     "255.255.255.255"},
    {"a piece of an overlong line is a line of its own", kHeader + overlongLine(), 0, kFive},
    {"199 characters of address text are one field", kHeader + std::string(199, '1') + "\n" + at5(),
     -1, kNone},
    {"a leading zero reads as octal, as inet_addr reads it",
     kHeader + row("192.168.1.010", "02:00:00:00:00:08") + row("192.168.1.10", "02:00:00:00:00:0a"),
     0,
     {2, 0, 0, 0, 0, 0x0a},
     "192.168.1.10"},
    {"a leading-zero octet matches its octal value",
     kHeader + row("192.168.01.010", "02:00:00:00:00:08"),
     0,
     {2, 0, 0, 0, 0, 8},
     "192.168.1.8"},
    {"a line of three fields ends the search", kHeader + "192.168.1.4 0x1 0x2\n" + at5(), -1,
     kNone},
    {"an octet of 256 is no address", kHeader + row("192.168.1.256", kMac5), -1, kNone,
     "192.168.1.0"},
    {"a fifth separator that is no colon ends the numbers",
     kHeader + at5("02:c1:1e:00:00-05"),
     0,
     {2, 0xc1, 0x1e, 0, 0, 0}},
    {"bytes from 0x80 up in a device name are no line end",
     kHeader + row("192.168.1.4", kMac5, "br\xc3\xa9-guest0") + at5(), 0, kFive},
    // Two line ends in one pair of machine words: the first one ends the
    // header, and the one-field line after it ends the search.
    {"the first of two line ends in a pair of words",
     "IP\n" + std::string(sizeof(unsigned long) - 2, 'x') + "\n" + at5(), -1, kNone},
    {"addresses in inet_addr's other forms", kHeader + row("0xc0.168.1.5", kMac5), 0, kFive},
};

TEST(ArpScan, Table) {
  for (const ScanCase& c : kScanCases) {
    std::FILE* table = tmpfile();
    ASSERT_NE(table, nullptr);
    std::fputs(c.table.c_str(), table);
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
    EXPECT_EQ(report.outcome == ArpLookupReport::kNoHeader, c.table.empty()) << c.name;
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
