// SPDX-License-Identifier: MIT
#include "client_check/arp_line.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "client_check/piece_reader.h"
#include "tests/arp_differential.h"

namespace {

using namespace std::string_literals;

// Each piece is split by the fast splitter and by sscanf; they must agree.
const std::string kPieces[] = {
    "192.168.1.5      0x1         0x2         02:c1:1e:00:00:05     *        br0\n",
    "10.0.0.1 0x1 0x0 00:00:00:00:00:00 * eth0",
    "",
    " \t\r\n",
    "192.168.1.5",
    "192.168.1.5 ",
    "192.168.1.5 0",
    "192.168.1.5 0x",
    "192.168.1.5 0X1 0x2 aa",
    "192.168.1.5 0x 0x2 aa",
    "192.168.1.5 0xx1 0x2 aa",
    "192.168.1.5 0x0x1f 0x2 aa",
    "192.168.1.5 0x-1 0x+2 aa",
    "192.168.1.5 0x- 0x2 aa",
    "192.168.1.5 0x+ 0x2 aa",
    "192.168.1.5 0x0xg 0x2 aa",
    "192.168.1.5 0xg 0x2 aa",  // one field converted, and the search ends
    "  0x1 0x2 aa",            // the address is the first hex field: 2 fields
    "192.168.1.5 0x 1 0x2 aa",
    "192.168.1.5 0x1 0x2",
    "192.168.1.5 0x1 0x2 \n",
    "192.168.1.5\t0x1\v0x2\faa:bb\r*\tbr0",
    "192.168.1.5 0x1 0x2 aa\0:bb * br0"s,
    "192.168.1.5\0 0x1 0x2 aa"s,
    "192.168.1.5 0x1 0x2 \0aa"s,  // the string ends before the hardware field
    "192.168.1.5 0xffffffffffffffffffffff 0x2 aa",
    "192.168.1.5 0x1 0x2 " + std::string(120, 'a') + " * br0",
    std::string(199, '1'),
    "\xff\xfe 0x1 0x2 \x80",
};

TEST(ArpLineSplit, AgreesWithSscanf) {
  for (const std::string& piece : kPieces) {
    const ScanfSplit expected = scanfSplit(piece.data(), piece.size());
    ArpLine actual;
    const int fields = actual.split(piece.data(), piece.size());
    EXPECT_EQ(fields, expected.fields) << '"' << piece << '"';
    if (fields >= 1) {
      EXPECT_EQ(std::string(actual.address().data, actual.address().size), expected.address)
          << '"' << piece << '"';
    }
  }
}

const std::string kHardwareAddresses[] = {
    "02:c1:1e:00:00:05",
    "1:2:3:4:5:6",
    "aa:bb:cc",
    "AA:Bb:0C:dD:e:F",
    "1ff:2:3:4:5:6",
    "0x1f:0X2:0x:0xg",
    "-1:+2:-0x10:+:4",
    "100000001:ffffffffffffffffff:-ffffffffffffffffff",
    "1:2:3:4:5:6:7:8",
    "1::2",
    ":1",
    "g",
    "*",
    "00:00:00:00:00:00",
    "00:c1:1e:00:00:092.168.1.5",  // the last number runs on
    "00:c1:1e:00:00:09x",
    "00:c1:1e:00:00:0",
    "00:c1:1e:00:00-09",
    "00:c1:1e:00-00:09",
    "0a:0b:0c:0d:0e:0f:",
    "02:c1:1e:00:00:05a",  // at the end of a table without a newline: 0x5a
};

TEST(HardwareAddress, AgreesWithSscanf) {
  for (const std::string& text : kHardwareAddresses) {
    MacAddress expected{};
    const int parsed = scanfMac(text.c_str(), expected);
    // Inside a line, and ending the last piece of a table.
    for (const std::string& after : {" * br0\n"s, ""s}) {
      const std::string piece = "192.168.1.5 0x1 0x2 " + text + after;
      ArpLine line;
      MacAddress actual{};
      line.split(piece.data(), piece.size());
      EXPECT_EQ(line.hardwareAddress(actual), parsed) << text << '|' << after;
      EXPECT_EQ(actual, expected) << text << '|' << after;
    }
  }
}

}  // namespace

namespace {

// Pieces of a file larger than the reader's buffer, so that pieces straddle
// its refills, against fgets() into 200 bytes (and each piece's split).
TEST(PieceReader, ReadsAsFgetsDoes) {
  std::string text;
  const std::size_t lengths[] = {0, 1, 80, 197, 198, 199, 200, 250, 398, 450};
  for (std::size_t k = 0; text.size() < 50000; ++k) {
    std::string line(lengths[k % 10], static_cast<char>('a' + k % 26));
    if (k % 7 == 3 && !line.empty()) line[line.size() / 2] = '\0';
    // Bytes from 0x80 up (UTF-8 in a device name) are no line end either.
    if (k % 5 == 1 && line.size() > 20) line.replace(line.size() / 3, 4, "\xc3\xa9\x80\xff");
    text += line + "\n";
  }
  text += "no newline at the end";

  std::FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
  std::vector<std::size_t> pieces(text.size() + 1);
  ArpDifferential d;
  compareArpScan(text.data(), fileno(file), 0, pieces.data(), pieces.size(), d);
  EXPECT_EQ(d.disagreement, nullptr) << (d.disagreement != nullptr ? d.disagreement : "");
  EXPECT_GT(d.splits, 100u);
  std::fclose(file);
}

}  // namespace
