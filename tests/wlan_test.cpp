// SPDX-License-Identifier: MIT
#include <cerrno>
#include <functional>

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
  const std::size_t offsets[] = {
      offsetof(WlIoctlRequest, command),       offsetof(WlIoctlRequest, buffer),
      offsetof(WlIoctlRequest, length),        offsetof(WlIoctlRequest, set),
      offsetof(WlIoctlRequest, trailingWord0), offsetof(WlIoctlRequest, trailingWord1)};
  const std::size_t expected[] = {0, word, 2 * word, 2 * word + 4, 2 * word + 8, 2 * word + 12};
  for (std::size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(offsets[k], expected[k]) << k;
  }
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

TEST_F(WlanTransport, NoSocketFailsTheRequestWithAMessage) {
  driver.interfaces = readyRadio(0);
  driver.socketErrno = EMFILE;
  CaptureStderr();
  EXPECT_EQ(wlanCheckBss("eth1"), -1);
  EXPECT_EQ(GetCapturedStderr(), "wlanWlIoctl:socket: Too many open files\n");
  EXPECT_TRUE(driver.requests.empty());
}

TEST_F(WlanTransport, ASixteenCharacterNameIsCopiedWhole) {
  driver.interfaces = {interface("wl0123456789abcd")};
  CaptureStderr();
  EXPECT_EQ(wlanCheckBss("wl0123456789abcdEXTRA"), -1);
  EXPECT_EQ(GetCapturedStderr(), "wl0123456789abcd: Invalid argument\n");
  ASSERT_EQ(driver.log(), Log{"wl0123456789abcd 262 bss"});
}

// One query against one interface setup: the result, the requests and stderr.
struct QueryCase {
  const char* name;
  std::function<int()> query;
  std::function<void(FakeInterface&)> setup;  // applied to "wl0.1" and "eth1"
  int result;
  Log log;
  const char* message;
};

void runQueryCases(FakeDriver& driver, const std::vector<QueryCase>& cases) {
  for (const QueryCase& c : cases) {
    driver.requests.clear();
    driver.sysfs = true;
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
    EXPECT_EQ(c.query(), c.result) << c.name;
    EXPECT_EQ(GetCapturedStderr(), c.message) << c.name;
    EXPECT_EQ(driver.log(), c.log) << c.name;
  }
}

using WlanQueries = FakeDriverTest;

TEST_F(WlanQueries, CheckDevice) {
  const Log both = {"wl0.1 0", "wl0.1 1"};
  auto check = [] { return wlanCheckDevice("wl0.1"); };
  runQueryCases(
      driver,
      {
          {"version 1", check, nullptr, 0, both, ""},
          {"version 2", check, [](FakeInterface& i) { i.version = 2; }, 0, both, ""},
          {"version 0", check, [](FakeInterface& i) { i.version = 0; }, -1, both, ""},
          {"version 3", check, [](FakeInterface& i) { i.version = 3; }, -1, both, ""},
          {"a positive result is success", check, [](FakeInterface& i) { i.result = 1; }, 0, both,
           ""},
          {"other magic",
           check,
           [](FakeInterface& i) { i.magic = 0x14E46C78; },
           -1,
           {"wl0.1 0"},
           ""},
          {"missing interface", [] { return wlanCheckDevice("wl1.1"); }, nullptr, -1, {}, ""},
          {"missing interface, no sysfs to ask first",
           [this] {
             driver.sysfs = false;
             return wlanCheckDevice("wl1.1");
           },
           nullptr,
           -1,
           {"wl1.1 0"},
           ""},
          {"version request fails", check, [](FakeInterface& i) { i.commandErrno[1] = EIO; }, -1,
           both, "wl0.1: Input/output error\n"},
          {"a primary name is accepted",
           [] { return wlanCheckDevice("eth1"); },
           nullptr,
           0,
           {"eth1 0", "eth1 1"},
           ""},
          {"other name refused", [] { return wlanCheckDevice("ath0"); }, nullptr, -1, {}, ""},
          {"one-letter prefix refused", [] { return wlanCheckDevice("w"); }, nullptr, -1, {}, ""},
          {"no name", [] { return wlanCheckDevice(nullptr); }, nullptr, -1, {}, ""},
      });
}

TEST_F(WlanQueries, PstaWetOff) {
  const Log both = {"eth1 262 psta", "eth1 262 wet_tunnel"};
  auto check = [] { return wlanPstaWetOff("eth1"); };
  runQueryCases(
      driver,
      {
          {"both zero", check, nullptr, 1, both, ""},
          {"positive results are success", check, [](FakeInterface& i) { i.result = 3; }, 1, both,
           ""},
          {"psta set", check, [](FakeInterface& i) { i.vars["psta"] = 1; }, 0, both, ""},
          {"wet_tunnel set", check, [](FakeInterface& i) { i.vars["wet_tunnel"] = 2; }, 0, both,
           ""},
          {"psta unknown",
           check,
           [](FakeInterface& i) { i.vars.erase("psta"); },
           -1,
           {"eth1 262 psta"},
           "eth1: Invalid argument\n"},
          {"wet_tunnel fails", check, [](FakeInterface& i) { i.varErrno["wet_tunnel"] = EIO; }, -1,
           both, "eth1: Input/output error\n"},
          {"secondary name refused", [] { return wlanPstaWetOff("wl0.1"); }, nullptr, -1, {}, ""},
          {"no name", [] { return wlanPstaWetOff(nullptr); }, nullptr, -1, {}, ""},
      });
}

TEST_F(WlanQueries, CheckBss) {
  auto check = [] { return wlanCheckBss("eth1"); };
  runQueryCases(
      driver,
      {
          {"bss 1", check, nullptr, 0, {"eth1 262 bss"}, ""},
          {"bss -1", check, [](FakeInterface& i) { i.vars["bss"] = -1; }, 0, {"eth1 262 bss"}, ""},
          {"bss 0", check, [](FakeInterface& i) { i.vars["bss"] = 0; }, 1, {"eth1 262 bss"}, ""},
          {"a positive result is success",
           check,
           [](FakeInterface& i) { i.result = 0x7fffffff; },
           0,
           {"eth1 262 bss"},
           ""},
          {"bss unknown",
           check,
           [](FakeInterface& i) { i.vars.erase("bss"); },
           -1,
           {"eth1 262 bss"},
           "eth1: Invalid argument\n"},
          {"secondary name accepted",
           [] { return wlanCheckBss("wl0.1"); },
           nullptr,
           0,
           {"wl0.1 262 bss"},
           ""},
          {"other name refused", [] { return wlanCheckBss("ath0"); }, nullptr, -1, {}, ""},
      });
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
