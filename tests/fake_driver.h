// SPDX-License-Identifier: MIT
// A fake wireless driver and ARP table at the C library boundary of the test
// binary. The test executable is linked with --wrap for socket, ioctl, close,
// open, access, syscall and system, so the code under test runs unmodified
// while:
//  - sockets are real descriptors, tracked so that every one must be closed;
//  - ioctl(SIOCDEVPRIVATE) on such a socket is answered from `interfaces` by
//    the simulator's own stand-in (simulator/driver/driver_serve.h);
//  - open("/proc/net/arp") opens `arpTablePath` instead (or fails when empty);
//  - /sys/class/net lists the interfaces' names as the kernel would have
//    them (at most IFNAMSIZ - 1 characters), unless `sysfs` is off;
//  - close_range() answers ENOSYS, as a kernel before 5.11 does, when
//    `closeRange` is off, and /proc/self/fd cannot be opened when `procFd`
//    is off;
//  - system() only records the command, and which of the tool's descriptors
//    the shell would inherit.
#ifndef TESTS_FAKE_DRIVER_H
#define TESTS_FAKE_DRIVER_H

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client_check/mac_address.h"
#include "wlan/wlan.h"

struct FakeInterface {
  std::string name;
  std::uint32_t magic = wlan::kDriverMagic;
  std::uint32_t version = 1;
  std::map<std::string, std::int32_t> vars;  // a variable missing here fails with EINVAL
  std::map<std::string, int> varErrno;       // a variable that fails with this errno
  std::map<int, int> commandErrno;           // a command that fails with this errno
  std::vector<MacAddress> assoc;
  std::optional<std::uint32_t> count;  // reported instead of assoc.size()
  int result = 0;                      // what a successful request returns
};

struct FakeRequest {
  std::string ifname;
  std::uint32_t command;
  std::uint32_t length;
  std::uint8_t set;
  bool restZero;         // padding and trailing words arrived as zeros
  std::string varname;   // command 262
  std::uint32_t wordIn;  // the buffer's first word on the way in (not for 262)
};

struct FakeDriver {
  std::vector<FakeInterface> interfaces;
  bool sysfs = true;
  bool closeRange = true;
  bool procFd = true;
  std::string arpTablePath;
  std::vector<FakeRequest> requests;
  std::set<int> openSockets;
  int socketsOpened = 0;
  std::vector<std::string> shellCommands;
  // For each command: the descriptors the shell would inherit that are not
  // /dev/null on 0 to 2 ("fd 1 is not /dev/null", "fd 5 is inherited").
  std::vector<std::string> shellInherits;

  // "wl0.1 0", "eth1 262 psta", "wl0.1 159": one line per request.
  std::vector<std::string> log() const;
};

// The one fake every wrapped call consults; reset by each test fixture.
FakeDriver& fakeDriver();

// Radio r's interfaces as a router names them: wl<r>.1 and eth<r+1>.
std::string secondaryOf(int radio);
std::string primaryOf(int radio);

// A ready radio r: wl<r>.1 speaks the driver's identity and lists `clients`,
// eth<r+1> reads what a ready radio's primary reads (psta 0, wet_tunnel 0,
// bss 1).
std::vector<FakeInterface> readyRadio(int radio, std::vector<MacAddress> clients = {});
std::map<std::string, std::int32_t> readyPrimaryVars();

// The requests that find radio r ready, in order: the identity of wl<r>.1,
// then each variable of eth<r+1>.
std::vector<std::string> readyRequests(int radio);

// Starts every test with a fresh fake and checks that no socket leaked.
class FakeDriverTest : public ::testing::Test {
 protected:
  void SetUp() override { fakeDriver() = FakeDriver{}; }
  void TearDown() override {
    EXPECT_TRUE(driver.openSockets.empty()) << "a request left its socket open";
  }
  FakeDriver& driver = fakeDriver();
};

#endif  // TESTS_FAKE_DRIVER_H
