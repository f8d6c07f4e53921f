// SPDX-License-Identifier: MIT
#include "tests/fake_driver.h"

#include "simulator/driver/driver_serve.h"

#include <fcntl.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <linux/sockios.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

// The C library's names for ioctl and open in this build (see CMakeLists.txt).
#define CONCAT_(a, b) a##b
#define CONCAT(a, b) CONCAT_(a, b)
#define REAL_IOCTL CONCAT(__real_, WRAPPED_IOCTL)
#define WRAP_IOCTL CONCAT(__wrap_, WRAPPED_IOCTL)
#define REAL_OPEN CONCAT(__real_, WRAPPED_OPEN)
#define WRAP_OPEN CONCAT(__wrap_, WRAPPED_OPEN)

extern "C" {
int __real_socket(int domain, int type, int protocol);
int REAL_IOCTL(int fd, LibcIoctlRequest request, void* arg);
int __real_close(int fd);
int REAL_OPEN(const char* path, int flags, ...);
int __real_access(const char* path, int mode);
long __real_syscall(long number, ...);
}

FakeDriver& fakeDriver() {
  static FakeDriver driver;
  return driver;
}

std::vector<std::string> FakeDriver::log() const {
  std::vector<std::string> lines;
  for (const FakeRequest& r : requests) {
    std::string line = r.ifname + " " + std::to_string(r.command);
    if (!r.varname.empty()) line += " " + r.varname;
    lines.push_back(line);
  }
  return lines;
}

std::string secondaryOf(int radio) {
  return "wl" + std::to_string(radio) + ".1";
}
std::string primaryOf(int radio) {
  return "eth" + std::to_string(radio + 1);
}

std::vector<FakeInterface> readyRadio(int radio, std::vector<MacAddress> clients) {
  FakeInterface secondary;
  secondary.name = secondaryOf(radio);
  secondary.assoc = std::move(clients);
  FakeInterface primary;
  primary.name = primaryOf(radio);
  primary.vars = readyPrimaryVars();
  return {secondary, primary};
}

std::map<std::string, std::int32_t> readyPrimaryVars() {
  std::map<std::string, std::int32_t> vars;
  for (const driver_var& var : driver_model_ready_primary) vars[var.name] = var.value;
  return vars;
}

std::vector<std::string> readyRequests(int radio) {
  std::vector<std::string> log = {secondaryOf(radio) + " 0", secondaryOf(radio) + " 1"};
  for (const driver_var& var : driver_model_ready_primary)
    log.push_back(primaryOf(radio) + " 262 " + var.name);
  return log;
}

namespace {

int fail(int error) {
  errno = error;
  return -1;
}

// The interface as the driver model's record.
driver_interface interfaceRecord(const FakeInterface& iface) {
  driver_interface b{};
  std::snprintf(b.name, sizeof b.name, "%s", iface.name.c_str());
  b.magic = iface.magic;
  b.version = iface.version;
  b.result = iface.result;
  b.count_given = iface.count.has_value();
  b.count = iface.count.value_or(0);
  auto addVar = [&](const std::string& name, std::int32_t value, int error) {
    driver_var& v = b.var[b.vars++];
    std::snprintf(v.name, sizeof v.name, "%s", name.c_str());
    v.value = value;
    v.error = error;
  };
  for (const auto& [name, value] : iface.vars) addVar(name, value, 0);
  for (const auto& [name, error] : iface.varErrno) addVar(name, 0, error);
  for (const auto& [command, error] : iface.commandErrno)
    b.fail[b.fails++] = {static_cast<ds_u32>(command), error};
  for (const MacAddress& mac : iface.assoc) std::memcpy(b.assoc[b.assoc_entries++], mac.data(), 6);
  return b;
}

int answer(FakeDriver& driver, int fd, const ifreq& carrier) {
  WlIoctlRequest raw;
  std::memcpy(&raw, carrier.ifr_data, sizeof raw);
  unsigned char bytes[sizeof raw];
  std::memcpy(bytes, carrier.ifr_data, sizeof raw);
  const std::size_t setEnd = offsetof(WlIoctlRequest, set) + 1;
  const bool restZero =
      std::all_of(bytes + setEnd, bytes + sizeof bytes, [](unsigned char b) { return b == 0; });

  const std::string ifname(carrier.ifr_name, strnlen(carrier.ifr_name, IFNAMSIZ));
  FakeRequest seen{ifname, raw.command, raw.length, raw.set, restZero, "", 0};
  auto* buffer = static_cast<unsigned char*>(raw.buffer);
  if (raw.command == wlan::kCmdGetVar)
    seen.varname.assign(reinterpret_cast<char*>(buffer),
                        strnlen(reinterpret_cast<char*>(buffer), raw.length));
  else if (raw.length >= 4)
    std::memcpy(&seen.wordIn, buffer, 4);
  driver.requests.push_back(seen);

  // Answered by the simulator's own code, from the interfaces as its record
  // (large: off the stack).
  const auto record = std::make_unique<driver_scenario>();
  for (const FakeInterface& iface : driver.interfaces)
    if (record->interfaces < DRIVER_SCENARIO_INTERFACES)
      record->interface[record->interfaces++] = interfaceRecord(iface);
  return driverServe(*record, fd, carrier);
}

}  // namespace

extern "C" {

int __wrap_socket(int domain, int type, int protocol) {
  FakeDriver& driver = fakeDriver();
  const int fd = __real_socket(domain, type, protocol);
  if (fd >= 0) {
    driver.openSockets.insert(fd);
    ++driver.socketsOpened;
  }
  return fd;
}

int WRAP_IOCTL(int fd, LibcIoctlRequest request, ...) {
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  FakeDriver& driver = fakeDriver();
  if (request != SIOCDEVPRIVATE || driver.openSockets.count(fd) == 0)
    return REAL_IOCTL(fd, request, arg);
  return answer(driver, fd, *static_cast<const ifreq*>(arg));
}

int __wrap_close(int fd) {
  fakeDriver().openSockets.erase(fd);
  return __real_close(fd);
}

int WRAP_OPEN(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(args, mode_t) : 0;
  va_end(args);
  if (std::strcmp(path, "/proc/self/fd") == 0 && !fakeDriver().procFd) return fail(EACCES);
  if (std::strcmp(path, "/proc/net/arp") != 0) return REAL_OPEN(path, flags, mode);
  const std::string& replacement = fakeDriver().arpTablePath;
  if (replacement.empty()) return fail(ENOENT);
  return REAL_OPEN(replacement.c_str(), flags);
}

int __wrap_access(const char* path, int mode) {
  static constexpr char kDevices[] = "/sys/class/net";
  const FakeDriver& driver = fakeDriver();
  if (std::strncmp(path, kDevices, sizeof kDevices - 1) != 0) return __real_access(path, mode);
  if (!driver.sysfs) return fail(ENOENT);
  const char* name = path + sizeof kDevices - 1;
  if (*name == '\0') return 0;
  const bool listed =
      std::any_of(driver.interfaces.begin(), driver.interfaces.end(), [&](const FakeInterface& i) {
        return *name == '/' && i.name.substr(0, IFNAMSIZ - 1) == name + 1;
      });
  return listed ? 0 : fail(ENOENT);
}

long __wrap_syscall(long number, ...) {
  va_list args;
  va_start(args, number);
  long a[6];
  for (long& word : a) word = va_arg(args, long);
  va_end(args);
#ifdef SYS_close_range
  if (number == SYS_close_range && !fakeDriver().closeRange) return fail(ENOSYS);
#endif
  return __real_syscall(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

int __wrap_system(const char* command) {
  FakeDriver& driver = fakeDriver();
  driver.shellCommands.emplace_back(command);
  struct stat null {};
  stat("/dev/null", &null);
  std::string inherited;
  for (int fd = 0; fd < 1024; ++fd) {
    const int flags = fcntl(fd, F_GETFD);
    if (flags < 0) continue;
    struct stat file {};
    if (fd < 3 && (fstat(fd, &file) != 0 || !S_ISCHR(file.st_mode) || file.st_rdev != null.st_rdev))
      inherited += "fd " + std::to_string(fd) + " is not /dev/null; ";
    if (fd >= 3 && (flags & FD_CLOEXEC) == 0)
      inherited += "fd " + std::to_string(fd) + " is inherited; ";
  }
  driver.shellInherits.push_back(inherited);
  return 0;
}

}  // extern "C"
