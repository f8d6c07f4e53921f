// SPDX-License-Identifier: MIT
#include "client_check/radio.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "tests/fake_driver.h"

namespace {

using Log = std::vector<std::string>;
using Interfaces = std::vector<FakeInterface>;

const MacAddress kClient = {0x02, 0xc1, 0x1e, 0x00, 0x00, 0x05};

MacAddress other(std::uint8_t n) {
  return {0x02, 0, 0, 0, 0, n};
}

FakeInterface& find(Interfaces& interfaces, const std::string& name) {
  for (FakeInterface& i : interfaces)
    if (i.name == name) return i;
  ADD_FAILURE() << "no interface " << name;
  std::abort();
}

const Log kReadySequence = readyRequests(0);
const Log kUpToBss = {"wl0.1 0", "wl0.1 1", "eth1 262 psta", "eth1 262 wet_tunnel", "eth1 262 bss"};
const Log kUpToWet = {"wl0.1 0", "wl0.1 1", "eth1 262 psta", "eth1 262 wet_tunnel"};
const Log kSkipsWet = {"wl0.1 0", "wl0.1 1", "eth1 262 psta", "eth1 262 bss"};

using Radio = FakeDriverTest;

TEST_F(Radio, Readiness) {
  struct Case {
    const char* name;
    std::function<void(Interfaces&)> setup;  // applied to a ready radio 0
    int ready;
    Log log;
  };
  const Case cases[] = {
      {"ready", nullptr, 1, kReadySequence},
      // A device the kernel does not have is never asked about.
      {"no secondary interface", [](Interfaces& r) { r.erase(r.begin()); }, 0, {}},
      {"wrong magic", [](Interfaces& r) { find(r, "wl0.1").magic = 1; }, 0, {"wl0.1 0"}},
      {"version 3", [](Interfaces& r) { find(r, "wl0.1").version = 3; }, 0, {"wl0.1 0", "wl0.1 1"}},
      {"psta set", [](Interfaces& r) { find(r, "eth1").vars["psta"] = 1; }, 0, kUpToWet},
      {"wet_tunnel set", [](Interfaces& r) { find(r, "eth1").vars["wet_tunnel"] = 1; }, 0,
       kUpToWet},
      {"psta unknown still passes", [](Interfaces& r) { find(r, "eth1").vars.erase("psta"); }, 1,
       kSkipsWet},
      {"bss 0", [](Interfaces& r) { find(r, "eth1").vars["bss"] = 0; }, 0, kUpToBss},
      {"bss unreadable", [](Interfaces& r) { find(r, "eth1").varErrno["bss"] = EIO; }, 0, kUpToBss},
      {"no primary interface", [](Interfaces& r) { r.pop_back(); }, 0, {"wl0.1 0", "wl0.1 1"}},
  };
  for (const Case& c : cases) {
    driver.requests.clear();
    driver.interfaces = readyRadio(0);
    if (c.setup) c.setup(driver.interfaces);
    testing::internal::CaptureStderr();
    EXPECT_EQ(radioReady(0), c.ready) << c.name;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(driver.log(), c.log) << c.name;
    // A trace tells the same requests, each with what it got.
    WlanTrace trace;
    testing::internal::CaptureStderr();
    EXPECT_EQ(radioReady(0, &trace), c.ready) << c.name;
    testing::internal::GetCapturedStderr();
    // (A device the kernel lacks is answered ENODEV without a request.)
    Log traced;
    int missing = 0;
    for (int k = 0; k < trace.count; ++k) {
      const WlanRequestRecord& r = trace.requests[k];
      if (r.result < 0 && r.error == ENODEV && ++missing) continue;
      traced.push_back(std::string(r.ifname) + " " + std::to_string(r.command) +
                       (r.command == wlan::kCmdGetVar ? std::string(" ") + r.varname : ""));
      if (r.result >= 0) {
        EXPECT_EQ(r.error, 0) << c.name;
      }
    }
    EXPECT_EQ(traced, c.log) << c.name;
    EXPECT_EQ(missing > 0, std::string(c.name).rfind("no ", 0) == 0) << c.name;
    if (c.log == kUpToBss && c.ready == 0) {
      const WlanRequestRecord& bss = trace.requests[trace.count - 1];
      EXPECT_EQ(bss.result < 0 ? bss.error : static_cast<int>(bss.word),
                std::string(c.name) == "bss unreadable" ? EIO : 0)
          << c.name;
    }
  }
}

TEST_F(Radio, AssociationListSearch) {
  struct Case {
    const char* name;
    std::vector<MacAddress> entries;
    std::optional<std::uint32_t> count;
    int position;  // of the client, or -1
  };
  std::vector<MacAddress> full;  // 74 entries: all that fit the 448-byte buffer
  for (int k = 0; k < 73; ++k) full.push_back(other(static_cast<std::uint8_t>(k)));
  full.push_back(kClient);
  const Case cases[] = {
      {"empty", {}, std::nullopt, -1},
      {"first", {kClient, other(1), other(2)}, std::nullopt, 0},
      {"third", {other(1), other(2), kClient}, std::nullopt, 2},
      {"last of a full buffer", full, std::nullopt, 73},
      {"count 0 hides entries", {kClient}, 0u, -1},
      {"count stops before the client", {other(1), kClient}, 1u, -1},
      {"last byte differs", {{0x02, 0xc1, 0x1e, 0x00, 0x00, 0x06}}, std::nullopt, -1},
      {"first byte differs", {{0x03, 0xc1, 0x1e, 0x00, 0x00, 0x05}}, std::nullopt, -1},
      {"lying count, client absent", {other(1)}, 0xFFFFFFFFu, -1},
      {"lying count, client last in buffer", full, 1000u, 73},
  };
  for (const Case& c : cases) {
    driver.interfaces = readyRadio(0, c.entries);
    driver.interfaces[0].count = c.count;
    EXPECT_EQ(radioHasClient(0, kClient), c.position >= 0 ? 1 : 0) << c.name;
    AssocList list;
    ASSERT_EQ(radioAssocList(0, list), 0) << c.name;
    EXPECT_EQ(assocListPosition(list, kClient), c.position) << c.name;
    const std::uint32_t entries = assocListEntries(list);
    EXPECT_EQ(entries, std::min<std::uint32_t>(c.count.value_or(c.entries.size()), 74)) << c.name;
    if (c.position >= 0) {
      EXPECT_EQ(assocListEntry(list, c.position), kClient) << c.name;
    }
  }
}

TEST_F(Radio, UnreadableListHasNoClient) {
  // An incomplete ARP entry searches with the all-zero MAC: a failed request
  // taken for success would find it among the zeroed buffer's entries.
  for (const MacAddress& mac : {kClient, MacAddress{}}) {
    driver.interfaces = readyRadio(0, {kClient});
    driver.interfaces[0].commandErrno[wlan::kCmdGetAssocList] = EIO;
    testing::internal::CaptureStderr();
    EXPECT_EQ(radioHasClient(0, mac), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "wl0.1: Input/output error\n");
  }
  // Traced, the failure is the request's own, with its errno.
  AssocList list;
  WlanTrace trace;
  testing::internal::CaptureStderr();
  EXPECT_NE(radioAssocList(0, list, &trace), 0);
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(trace.count, 1);
  EXPECT_LT(trace.requests[0].result, 0);
  EXPECT_EQ(trace.requests[0].error, EIO);
  EXPECT_FALSE(trace.requests[0].noSocket);
}

TEST(AssocList, NeverReadsPastTheBuffer) {
  // The client stands just past the 74 entries the buffer holds; a count
  // that claims more must not reach it.
  struct {
    AssocList list{};
    MacAddress beyond = kClient;
  } memory;
  static_assert(sizeof memory == kAssocListBytes + 6, "the client right after the buffer");
  for (const std::uint32_t count : {75u, 76u, 1000u, 0xFFFFFFFFu}) {
    std::memcpy(memory.list.data(), &count, sizeof count);
    EXPECT_EQ(assocListHasClient(memory.list, kClient), 0) << count;
  }
}

}  // namespace
