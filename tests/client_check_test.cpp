// SPDX-License-Identifier: MIT
#include "client_check/client_check.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "client_check/caller_plumbing.h"
#include "client_check/radio.h"
#include "tests/fake_driver.h"

namespace {

using Log = std::vector<std::string>;

// The address word of `dotted` on this machine: the bytes inet_addr()
// stores, read in the machine's own byte order.
std::string word(const char* dotted) {
  return std::to_string(inet_addr(dotted));
}
const std::string kWord5 = word("192.168.1.5"), kWord6 = word("192.168.1.6"),
                  kWord9 = word("192.168.1.9"), kWord11 = word("192.168.1.11");

const MacAddress kClient = {0x02, 0xc1, 0x1e, 0x00, 0x00, 0x05};
constexpr char kArpTable[] =
    "IP address       HW type     Flags       HW address            Mask     Device\n"
    "192.168.1.5      0x1         0x2         02:c1:1e:00:00:05     *        br0\n"
    "192.168.1.9      0x1         0x0         00:00:00:00:00:00     *        br0\n"
    "192.168.1.11     0x1         0x2         02:c1:1e              *        br0\n";

// The probe the tool starts for `dotted`, as the end-to-end table states it.
std::string probe(const char* dotted) {
  std::ifstream cases(CLIENT_CHECK_CASES);
  for (std::string line; std::getline(cases, line);) {
    const std::size_t address = line.find("{ADDRESS}");
    if (line.rfind("{PROBE} = ", 0) == 0 && address != std::string::npos)
      return line.substr(10, address - 10) + dotted + line.substr(address + 9) + " &";
  }
  ADD_FAILURE() << "no {PROBE} line in " << CLIENT_CHECK_CASES;
  return {};
}

// The identity request of each radio's secondary interface.
Log identityRequests() {
  Log log;
  for (int radio = 0; radio < kRadioCount; ++radio) log.push_back(secondaryOf(radio) + " 0");
  return log;
}

// Both radios' interfaces, or both radios' requests: a, then b.
template <typename T>
std::vector<T> radios(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Every successful request of these interfaces returns `result`.
std::vector<FakeInterface> returning(int result, std::vector<FakeInterface> interfaces) {
  for (FakeInterface& i : interfaces) i.result = result;
  return interfaces;
}

// Fills the stack the code under test is about to use with non-zero bytes,
// so that a buffer it forgets to zero holds garbage, not a lucky zero.
[[gnu::noinline]] void dirtyStack() {
  volatile unsigned char junk[64 * 1024];
  for (auto& byte : junk) byte = 0xA5;
}

Log withList(Log log, int radio) {
  log.push_back(secondaryOf(radio) + " 159");
  return log;
}
const Log kRadio0 = withList(readyRequests(0), 0);
const Log kRadio1 = withList(readyRequests(1), 1);
const Log kBoth = radios(kRadio0, kRadio1);
constexpr char kUsage[] = "usage: client_check ADDRESS_WORD\n";

class ClientCheckFlow : public FakeDriverTest {
 protected:
  void SetUp() override {
    FakeDriverTest::SetUp();
    char path[] = "/tmp/client_check_arp_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    arpPath_ = path;
    std::ofstream(arpPath_) << kArpTable;
  }
  void TearDown() override {
    std::remove(arpPath_.c_str());
    FakeDriverTest::TearDown();
  }
  std::string arpPath_;
};

// What the kernel lacks in a case: /proc/net/arp to open, /sys/class/net
// to ask first, close_range() (before 5.11), /proc/self/fd to read.
enum Lacks : unsigned { kNothing = 0, kNoTable = 1, kSysfs = 2, kCloseRange = 4, kProcFd = 8 };
constexpr unsigned kFds = kCloseRange | kProcFd;
const MacAddress kShortMac = {0x02, 0xc1, 0x1e, 0, 0, 0};

struct FlowCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<FakeInterface> interfaces;
  int verdict;
  Log log;
  const char* probed = nullptr;  // the address the probe is for, if any
  const char* message = "";
  unsigned lacks = kNothing;
};

TEST_F(ClientCheckFlow, Verdicts) {
  const auto on0 = readyRadio(0, {kClient}), none = std::vector<FakeInterface>{};
  const auto on1 = radios(readyRadio(0), readyRadio(1, {kClient}));
  const auto neither = radios(readyRadio(0), readyRadio(1));
  const FlowCase cases[] = {
      {"no argument", {}, on0, -2, {}, nullptr, kUsage},
      {"unreadable table probes", {kWord5}, on0, -1, {}, "192.168.1.5", "", kNoTable},
      {"client on radio 0", {kWord5}, on0, 1, kRadio0},
      {"client on radio 1 only", {kWord5}, on1, 1, kBoth},
      {"client on neither", {kWord5}, neither, 0, kBoth},
      // The driver never hears of a name the kernel has no device for.
      {"no radios at all", {kWord5}, none, 0, {}},
      {"no radios, no sysfs", {kWord5}, none, 0, identityRequests(), nullptr, "", kSysfs},
      {"radio 1 missing", {kWord5}, readyRadio(0), 0, kRadio0},
      // Before Linux 5.11 the probe is detached without close_range(): the
      // caller's inheritable descriptors still stay out of it.
      {"no close_range", {kWord6}, none, -1, {}, "192.168.1.6", "", kCloseRange},
      {"no close_range, nor /proc/self/fd", {kWord6}, none, -1, {}, "192.168.1.6", "", kFds},
      {"a driver's positive results", {kWord5}, returning(1, on0), 1, kRadio0},
      // A short hardware address leaves the rest of the MAC zero; an
      // incomplete entry searches with a zero one.
      {"short hardware address", {kWord11}, readyRadio(0, {kShortMac}), 1, kRadio0},
      {"incomplete entry", {kWord9}, readyRadio(0, {MacAddress{}}), 1, kRadio0},
  };
  for (const FlowCase& c : cases) {
    driver = FakeDriver{};
    driver.interfaces = c.interfaces;
    driver.sysfs = (c.lacks & kSysfs) == 0;
    driver.closeRange = (c.lacks & kCloseRange) == 0;
    driver.procFd = (c.lacks & kProcFd) == 0;
    if ((c.lacks & kNoTable) == 0) driver.arpTablePath = arpPath_;
    std::vector<char*> argv = {const_cast<char*>("client_check")};
    for (const std::string& a : c.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // Standard output and error are captured, standard input is a pipe of
    // the caller's (whatever the test runner's own is), and the caller holds
    // one more descriptor open across exec: the probe must inherit none of
    // them.
    int callerPipe[2];
    ASSERT_EQ(pipe(callerPipe), 0);
    const int runnerInput = dup(0);
    ASSERT_EQ(dup2(callerPipe[0], 0), 0);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    dirtyStack();
    EXPECT_EQ(clientCheck(static_cast<int>(argv.size() - 1), argv.data()), c.verdict) << c.name;
    ASSERT_EQ(dup2(runnerInput, 0), 0);
    close(runnerInput);
    // The tool's own descriptors are back once the probe has started.
    std::fputs("after", stderr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message + std::string("after")) << c.name;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.name;
    EXPECT_EQ(driver.log(), c.log) << c.name;
    const Log shell = c.probed != nullptr ? Log{probe(c.probed)} : Log{};
    EXPECT_EQ(driver.shellCommands, shell) << c.name;
    EXPECT_EQ(driver.shellInherits, Log(shell.size(), "")) << c.name;
    EXPECT_EQ(close(callerPipe[0]) | close(callerPipe[1]), 0) << c.name;
  }
}

// Used on its own (main opens 0 to 2 first), the probe's /dev/null may take
// a closed standard number: the command must still find it open.
TEST(DetachedStdio, ANullDeviceOnAClosedStandardNumberStaysOpenAcrossExec) {
  for (int closed = 0; closed < 3; ++closed) {
    const int saved = dup(closed);
    ASSERT_GE(saved, 3);
    ASSERT_EQ(close(closed), 0);
    {
      const DetachedStdio detached;
      const int flags = fcntl(closed, F_GETFD);
      EXPECT_GE(flags, 0) << "fd " << closed;
      EXPECT_EQ(flags & FD_CLOEXEC, 0) << "fd " << closed;
      struct stat file {};
      struct stat null {};
      ASSERT_EQ(stat("/dev/null", &null), 0);
      EXPECT_EQ(fstat(closed, &file), 0) << "fd " << closed;
      EXPECT_TRUE(S_ISCHR(file.st_mode) && file.st_rdev == null.st_rdev) << "fd " << closed;
    }
    ASSERT_EQ(dup2(saved, closed), closed);
    close(saved);
  }
}

}  // namespace
