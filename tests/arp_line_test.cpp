#include "client_check/arp_line.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/scanf_model.h"

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
    "192.168.1.5 0x 1 0x2 aa",
    "192.168.1.5 0x1 0x2",
    "192.168.1.5 0x1 0x2 \n",
    "192.168.1.5\t0x1\v0x2\faa:bb\r*\tbr0",
    "192.168.1.5 0x1 0x2 aa\0:bb * br0"s,
    "192.168.1.5\0 0x1 0x2 aa"s,
    "192.168.1.5 0xffffffffffffffffffffff 0x2 aa",
    "192.168.1.5 0x1 0x2 " + std::string(120, 'a') + " * br0",
    std::string(199, '1'),
    "\xff\xfe 0x1 0x2 \x80",
};

TEST(ArpLineSplit, AgreesWithSscanf) {
  for (const std::string& piece : kPieces) {
    const ScanfSplit expected = scanfSplit(piece);
    const ScanfSplit actual = fastSplit(piece);
    EXPECT_EQ(actual.fields, expected.fields) << '"' << piece << '"';
    EXPECT_EQ(actual.address, expected.address) << '"' << piece << '"';
    EXPECT_EQ(actual.hardwareAddress, expected.hardwareAddress) << '"' << piece << '"';
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
};

TEST(HardwareAddress, AgreesWithSscanf) {
  for (const std::string& text : kHardwareAddresses) {
    const ScanfMac expected = scanfMac(text);
    const ScanfMac actual = fastMac(text);
    EXPECT_EQ(actual.parsed, expected.parsed) << text;
    EXPECT_EQ(actual.mac, expected.mac) << text;
  }
}

}  // namespace
