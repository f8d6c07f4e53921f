// SPDX-License-Identifier: MIT
#include <cerrno>

#include "tests/fake_driver.h"

namespace {

using Log = std::vector<std::string>;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

FakeInterface interface(const std::string& name) {
  FakeInterface i;
  i.name = name;
  return i;
}

TEST(WlanRecord, HasTheDriversNaturalLayout) {
  // 24 bytes on a 32-bit target; the buffer field is pointer-wide elsewhere.
  const std::size_t word = sizeof(void*);
  const std::vector<std::size_t> offsets = {
      offsetof(WlIoctlRequest, command),       offsetof(WlIoctlRequest, buffer),
      offsetof(WlIoctlRequest, length),        offsetof(WlIoctlRequest, set),
      offsetof(WlIoctlRequest, trailingWord0), offsetof(WlIoctlRequest, trailingWord1)};
  EXPECT_EQ(offsets, (std::vector<std::size_t>{0, word, 2 * word, 2 * word + 4, 2 * word + 8,
                                               2 * word + 12}));
  EXPECT_EQ(sizeof(WlIoctlRequest), word == 4 ? 24u : 2 * word + 16);
}

using WlanTransport = FakeDriverTest;

TEST_F(WlanTransport, SendsOneZeroedReadRecordPerSocket) {
  driver.interfaces = readyRadio(0, {MacAddress{1, 2, 3, 4, 5, 6}});
  unsigned char list[448] = {};
  ASSERT_EQ(wlanCheckDevice("wl0.1"), 0);
  ASSERT_EQ(wlanCheckBss("eth1"), 0);
  ASSERT_EQ(wlanGetAssocList("wl0.1", list, sizeof list), 0);

  ASSERT_EQ(driver.requests.size(), 4u);
  EXPECT_EQ(driver.socketsOpened, 4);
  const std::uint32_t lengths[] = {4, 4, 100, 448};
  const std::uint32_t wordsIn[] = {0, wlan::kDriverMagic, 0, 64};
  for (std::size_t k = 0; k < driver.requests.size(); ++k) {
    const FakeRequest& r = driver.requests[k];
    EXPECT_EQ(r.length, lengths[k]) << k;
    EXPECT_EQ(r.set, 0) << k;
    EXPECT_TRUE(r.restZero) << k;
    if (r.command != wlan::kCmdGetVar) {
      EXPECT_EQ(r.wordIn, wordsIn[k]) << k;
    }
  }
}

TEST_F(WlanTransport, FailuresAreReportedExceptForCommands0And23) {
  struct Case {
    int command;
    int error;  // 0: the kernel has no such device
    const char* message;
  };
  const Case cases[] = {
      {0, ENODEV, ""},
      {0, 0, ""},
      {262, 0, "wl0.1: No such device\n"},
      {23, EIO, ""},
      {1, EIO, "wl0.1: Input/output error\n"},
      {159, EPERM, "wl0.1: Operation not permitted\n"},
      {262, EINVAL, "wl0.1: Invalid argument\n"},
  };
  for (const Case& c : cases) {
    FakeInterface wl = interface("wl0.1");
    wl.commandErrno[c.command] = c.error;
    driver.interfaces = {wl};
    if (c.error == 0) driver.interfaces.clear();
    driver.requests.clear();
    std::uint32_t word = 0;
    CaptureStderr();
    EXPECT_EQ(wlanWlIoctl("wl0.1", c.command, &word, sizeof word), -1) << c.command;
    EXPECT_EQ(GetCapturedStderr(), c.message) << c.command;
    EXPECT_EQ(driver.requests.size(), c.error == 0 ? 0u : 1u) << c.command;
    EXPECT_TRUE(driver.openSockets.empty()) << c.command;
  }
}

TEST_F(WlanTransport, ASixteenCharacterNameIsCopiedWhole) {
  driver.interfaces = {interface("wl0123456789abcd")};
  CaptureStderr();
  EXPECT_EQ(wlanCheckBss("wl0123456789abcdEXTRA"), -1);
  EXPECT_EQ(GetCapturedStderr(), "wl0123456789abcd: Invalid argument\n");
  ASSERT_EQ(driver.log(), Log{"wl0123456789abcd 262 bss"});
}

// One query against one interface setup: the result, the requests and stderr.
using Setup = void (*)(FakeInterface&);  // applied to "wl0.1" and "eth1"
struct QueryCase {
  const char* name;
  const char* ifname;  // asked about
  Setup setup;
  int result;
  Log log;
  const char* message = "";
  bool sysfs = true;  // the kernel's list of devices to ask first
};

template <std::size_t N>
void runQueryCases(FakeDriver& driver, int (*query)(const char*, WlanTrace*),
                   const QueryCase (&cases)[N]) {
  for (const QueryCase& c : cases) {
    driver.requests.clear();
    driver.sysfs = c.sysfs;
    FakeInterface wl = interface("wl0.1");
    FakeInterface eth = interface("eth1");
    eth.vars = readyPrimaryVars();
    wl.vars = eth.vars;
    if (c.setup) {
      c.setup(wl);
      c.setup(eth);
    }
    driver.interfaces = {wl, eth};
    CaptureStderr();
    EXPECT_EQ(query(c.ifname, nullptr), c.result) << c.name;
    EXPECT_EQ(GetCapturedStderr(), c.message) << c.name;
    EXPECT_EQ(driver.log(), c.log) << c.name;
  }
}

using WlanQueries = FakeDriverTest;
const Log kNone = {};

TEST_F(WlanQueries, CheckDevice) {
  const Log both = {"wl0.1 0", "wl0.1 1"}, magic = {"wl0.1 0"}, asked = {"wl1.1 0"};
  const Log primary = {"eth1 0", "eth1 1"};
  const QueryCase cases[] = {
      {"version 1", "wl0.1", nullptr, 0, both},
      {"version 2", "wl0.1", [](FakeInterface& i) { i.version = 2; }, 0, both},
      {"version 0", "wl0.1", [](FakeInterface& i) { i.version = 0; }, -1, both},
      {"version 3", "wl0.1", [](FakeInterface& i) { i.version = 3; }, -1, both},
      {"a positive result is success", "wl0.1", [](FakeInterface& i) { i.result = 1; }, 0, both},
      {"other magic", "wl0.1", [](FakeInterface& i) { i.magic = 0x14E46C78; }, -1, magic},
      {"version request fails", "wl0.1", [](FakeInterface& i) { i.commandErrno[1] = EIO; }, -1,
       both, "wl0.1: Input/output error\n"},
      {"missing interface", "wl1.1", nullptr, -1, kNone},
      {"missing interface, no sysfs to ask first", "wl1.1", nullptr, -1, asked, "", false},
      {"a primary name is accepted", "eth1", nullptr, 0, primary},
      {"other name refused", "ath0", nullptr, -1, kNone},
      {"one-letter prefix refused", "w", nullptr, -1, kNone},
      {"no name", nullptr, nullptr, -1, kNone},
  };
  runQueryCases(driver, wlanCheckDevice, cases);
}

TEST_F(WlanQueries, PstaWetOff) {
  const Log both = {"eth1 262 psta", "eth1 262 wet_tunnel"}, psta = {"eth1 262 psta"};
  const QueryCase cases[] = {
      {"both zero", "eth1", nullptr, 1, both},
      {"positive results are success", "eth1", [](FakeInterface& i) { i.result = 3; }, 1, both},
      {"psta set", "eth1", [](FakeInterface& i) { i.vars["psta"] = 1; }, 0, both},
      {"wet_tunnel set", "eth1", [](FakeInterface& i) { i.vars["wet_tunnel"] = 2; }, 0, both},
      {"psta unknown", "eth1", [](FakeInterface& i) { i.vars.erase("psta"); }, -1, psta,
       "eth1: Invalid argument\n"},
      {"wet_tunnel fails", "eth1", [](FakeInterface& i) { i.varErrno["wet_tunnel"] = EIO; }, -1,
       both, "eth1: Input/output error\n"},
      {"secondary name refused", "wl0.1", nullptr, -1, kNone},
      {"no name", nullptr, nullptr, -1, kNone},
  };
  runQueryCases(driver, wlanPstaWetOff, cases);
}

TEST_F(WlanQueries, CheckBss) {
  const Log bss = {"eth1 262 bss"}, secondary = {"wl0.1 262 bss"};
  const QueryCase cases[] = {
      {"bss 1", "eth1", nullptr, 0, bss},
      {"bss -1", "eth1", [](FakeInterface& i) { i.vars["bss"] = -1; }, 0, bss},
      {"bss 0", "eth1", [](FakeInterface& i) { i.vars["bss"] = 0; }, 1, bss},
      {"a positive result", "eth1", [](FakeInterface& i) { i.result = 0x7fffffff; }, 0, bss},
      {"bss unknown", "eth1", [](FakeInterface& i) { i.vars.erase("bss"); }, -1, bss,
       "eth1: Invalid argument\n"},
      {"secondary name accepted", "wl0.1", nullptr, 0, secondary},
      {"other name refused", "ath0", nullptr, -1, kNone},
  };
  runQueryCases(driver, wlanCheckBss, cases);
}

TEST_F(WlanQueries, GetIntVarLeavesTheValueOnFailure) {
  FakeInterface eth = interface("eth1");
  eth.vars = {{"bss", -5}};
  driver.interfaces = {eth};
  int value = 42;
  EXPECT_EQ(wlanGetIntVar("eth1", "bss", &value), 0);
  EXPECT_EQ(value, -5);
  driver.interfaces[0].result = 1;
  EXPECT_EQ(wlanGetIntVar("eth1", "bss", &value), 0);
  driver.interfaces[0].result = 0;
  value = 42;
  CaptureStderr();
  EXPECT_EQ(wlanGetIntVar("eth1", "psta", &value), -1);
  GetCapturedStderr();
  EXPECT_EQ(value, 42);
}

TEST_F(WlanQueries, GetAssocListRefusesMissingArguments) {
  driver.interfaces = readyRadio(0);
  unsigned char list[448] = {};
  EXPECT_EQ(wlanGetAssocList(nullptr, list, sizeof list), -1);
  EXPECT_EQ(wlanGetAssocList("wl0.1", nullptr, 448), -1);
  EXPECT_TRUE(driver.requests.empty());
  EXPECT_EQ(wlanGetAssocList("wl0.1", list, sizeof list), 0);  // count 0 is a success
  driver.interfaces[0].result = 2;  // a non-negative result is success: 0 all the same
  EXPECT_EQ(wlanGetAssocList("wl0.1", list, sizeof list), 0);
}

}  // namespace
