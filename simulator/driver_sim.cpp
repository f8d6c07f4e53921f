// SPDX-License-Identifier: MIT
// A wireless driver simulator, preloaded (LD_PRELOAD) into a program that
// talks to the driver through ioctl(SIOCDEVPRIVATE).
//
// Every SIOCDEVPRIVATE request is answered from the scenario file named by
// CLIENT_CHECK_SIM_SCENARIO; every other ioctl goes to the C library. When
// CLIENT_CHECK_SIM_LOG names a file, one line per request is appended to it:
//   <interface> <command> len=<length> set=<flag>[ var=<name>][ count=<count in>][ fd=<fd>]
// where fd= marks a request made on descriptor 0, 1 or 2: a socket that took
// the number of a closed standard descriptor.
//
// The scenario's driver part is a block per interface (simulator/scenarios/
// radio0-client.scn documents the whole format; the router checks it):
//   interface wl0.1
//     magic 0x14E46C77        identity (default: the driver's magic)
//     version 1               interface version (default 1)
//     assoc 02:00:00:00:00:05 ...   association list entries (repeatable)
//     count 3                 count reported instead of the number of entries
//     result 1                what a successful request returns (default 0;
//                             any non-negative value is success)
//     var bss 1               named integer variable
//     var psta error EIO      a variable whose read fails
//     fail 159 EPERM          a command that fails
// and, outside the blocks:
//   socket fail EMFILE        every AF_INET datagram socket fails
// An interface without a block fails with ENODEV, an unknown variable with
// EINVAL, a command the driver does not know with EOPNOTSUPP.
//
// The simulator keeps no state between requests: it reads the scenario anew
// each time, into fixed buffers.
#include <fcntl.h>
#include <net/if.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <linux/sockios.h>

#include <stdio.h>
#include <stdlib.h>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "simulator/errno_names.h"

namespace {

// The request record as the driver sees it in this build: 24 bytes on a
// 32-bit target, a pointer-wide buffer field elsewhere.
struct Record {
  std::uint32_t command;
  void* buffer;
  std::uint32_t length;
  std::uint8_t set;
  std::uint32_t trailing[2];
};
static_assert(sizeof(void*) != 4 || sizeof(Record) == 24, "32-bit record layout");

constexpr std::uint32_t kMagic = 0x14E46C77;
constexpr std::size_t kMaxScenario = 64 * 1024;
constexpr std::size_t kMaxEntries = 1024;
constexpr std::size_t kMaxWords = 80;

int parseErrno(const char* word) {
  for (const ErrnoName& e : kErrnoNames)
    if (std::strcmp(word, e.name) == 0) return e.value;
  const long value = strtol(word, nullptr, 0);
  return value > 0 ? static_cast<int>(value) : EIO;
}

bool parseMac(const char* word, unsigned char* mac) {
  unsigned int b[6];
  char extra;
  if (sscanf(word, "%x:%x:%x:%x:%x:%x%c", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &extra) != 6)
    return false;
  for (int k = 0; k < 6; ++k) mac[k] = static_cast<unsigned char>(b[k]);
  return true;
}

// What the scenario says about one request.
struct Answer {
  bool interfaceFound = false;
  int failErrno = 0;  // from "fail <command> <errno>"
  std::uint32_t magic = kMagic;
  std::uint32_t version = 1;
  bool varFound = false;
  int varErrno = 0;
  std::int32_t varValue = 0;
  int result = 0;  // returned by a successful request
  bool countGiven = false;
  std::uint32_t count = 0;
  std::size_t entries = 0;
  unsigned char assoc[kMaxEntries][6];
};

// Reads the whole scenario into `text` (terminated); false when unreadable.
bool readScenario(char (&text)[kMaxScenario]) {
  const char* path = getenv("CLIENT_CHECK_SIM_SCENARIO");
  if (path == nullptr) return false;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t used = 0;
  for (ssize_t n;
       used < sizeof text - 1 && (n = read(fd, text + used, sizeof text - 1 - used)) > 0;)
    used += static_cast<std::size_t>(n);
  close(fd);
  text[used] = '\0';
  return true;
}

void collect(char* text, const char* ifname, std::uint32_t command, const char* varname,
             Answer& answer) {
  bool inBlock = false;
  for (char* line = text; line != nullptr && *line != '\0';) {
    char* next = std::strchr(line, '\n');
    if (next != nullptr) *next++ = '\0';
    if (char* comment = std::strchr(line, '#')) *comment = '\0';
    char* words[kMaxWords];
    std::size_t count = 0;
    for (char *save = nullptr, *w = strtok_r(line, " \t\r", &save);
         w != nullptr && count < kMaxWords; w = strtok_r(nullptr, " \t\r", &save))
      words[count++] = w;
    line = next;
    if (count == 0) continue;

    const char* key = words[0];
    if (std::strcmp(key, "interface") == 0) {
      inBlock = count > 1 && std::strcmp(words[1], ifname) == 0;
      answer.interfaceFound |= inBlock;
      continue;
    }
    if (!inBlock) continue;
    if (std::strcmp(key, "magic") == 0 && count > 1) {
      answer.magic = static_cast<std::uint32_t>(strtoul(words[1], nullptr, 0));
    } else if (std::strcmp(key, "version") == 0 && count > 1) {
      answer.version = static_cast<std::uint32_t>(strtoul(words[1], nullptr, 0));
    } else if (std::strcmp(key, "result") == 0 && count > 1) {
      answer.result = static_cast<int>(strtol(words[1], nullptr, 0));
    } else if (std::strcmp(key, "count") == 0 && count > 1) {
      answer.countGiven = true;
      answer.count = static_cast<std::uint32_t>(strtoul(words[1], nullptr, 0));
    } else if (std::strcmp(key, "fail") == 0 && count > 2) {
      if (strtoul(words[1], nullptr, 0) == command) answer.failErrno = parseErrno(words[2]);
    } else if (std::strcmp(key, "var") == 0 && count > 2 && varname != nullptr &&
               std::strcmp(words[1], varname) == 0) {
      answer.varFound = true;
      if (std::strcmp(words[2], "error") == 0)
        answer.varErrno = count > 3 ? parseErrno(words[3]) : EIO;
      else
        answer.varValue = static_cast<std::int32_t>(strtoul(words[2], nullptr, 0));
    } else if (std::strcmp(key, "assoc") == 0) {
      for (std::size_t k = 1; k < count && answer.entries < kMaxEntries; ++k)
        if (parseMac(words[k], answer.assoc[answer.entries])) ++answer.entries;
    }
  }
}

// The errno of a "socket fail ERRNO" line, or 0.
int socketErrno(char* text) {
  for (char *save = nullptr, *line = strtok_r(text, "\n", &save); line != nullptr;
       line = strtok_r(nullptr, "\n", &save)) {
    char key[16], verb[16], error[32];
    if (sscanf(line, " %15s %15s %31s", key, verb, error) == 3 && std::strcmp(key, "socket") == 0 &&
        std::strcmp(verb, "fail") == 0)
      return parseErrno(error);
  }
  return 0;
}

// Hands `size` bytes to the kernel, as a driver copying them in would, so
// that a memory checker sees every byte the tool sends.
void copyIn(const void* bytes, std::size_t size) {
  const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return;
  if (write(fd, bytes, size) < 0) {
    // Nothing to do: /dev/null takes everything.
  }
  close(fd);
}

void logRequest(int fd, const char* ifname, const Record& record, const char* varname,
                std::uint32_t countIn) {
  const char* path = getenv("CLIENT_CHECK_SIM_LOG");
  if (path == nullptr) return;
  char line[256];
  int n = snprintf(line, sizeof line, "%s %u len=%u set=%u", ifname, record.command, record.length,
                   record.set);
  if (varname != nullptr)
    n += snprintf(line + n, sizeof line - n, " var=%s", varname);
  else if (record.command == 159)
    n += snprintf(line + n, sizeof line - n, " count=%u", countIn);
  if (fd >= 0 && fd <= 2 && n < static_cast<int>(sizeof line))
    n += snprintf(line + n, sizeof line - n, " fd=%d", fd);
  if (n > static_cast<int>(sizeof line) - 2) n = sizeof line - 2;
  line[n++] = '\n';
  const int log = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (log < 0) return;
  if (write(log, line, static_cast<std::size_t>(n)) < 0) {
    // A lost log line does not change the driver's answer.
  }
  close(log);
}

void put32(unsigned char* buffer, std::uint32_t value) {
  std::memcpy(buffer, &value, sizeof value);
}

// Answers one request; returns 0 with what the request returns in `result`,
// or an errno.
int serve(int fd, const ifreq& carrier, int& result) {
  Record record;
  std::memcpy(&record, carrier.ifr_data, sizeof record);
  char ifname[IFNAMSIZ + 1] = {};
  std::memcpy(ifname, carrier.ifr_name, IFNAMSIZ);
  auto* buffer = static_cast<unsigned char*>(record.buffer);
  if (buffer == nullptr) return EFAULT;
  copyIn(&record, sizeof record);
  copyIn(buffer, record.length < 65536 ? record.length : 65536);

  char varname[101] = {};
  const bool isVar = record.command == 262;
  if (isVar) {
    const std::size_t n = strnlen(reinterpret_cast<char*>(buffer), record.length);
    std::memcpy(varname, buffer, n < sizeof varname - 1 ? n : sizeof varname - 1);
  }
  std::uint32_t countIn = 0;
  if (record.length >= 4) std::memcpy(&countIn, buffer, sizeof countIn);
  logRequest(fd, ifname, record, isVar ? varname : nullptr, countIn);

  char text[kMaxScenario];
  if (!readScenario(text)) return ENODEV;
  static_assert(sizeof(Answer) < 16 * 1024, "answer fits the stack");
  Answer answer;
  collect(text, ifname, record.command, isVar ? varname : nullptr, answer);

  if (!answer.interfaceFound) return ENODEV;
  if (answer.failErrno != 0) return answer.failErrno;
  result = answer.result;
  switch (record.command) {
    case 0:
    case 1:
      if (record.length < 4) return EINVAL;
      put32(buffer, record.command == 0 ? answer.magic : answer.version);
      return 0;
    case 262:
      if (!answer.varFound || record.length < 4) return EINVAL;
      if (answer.varErrno != 0) return answer.varErrno;
      put32(buffer, static_cast<std::uint32_t>(answer.varValue));
      return 0;
    case 159: {
      if (record.length < 4) return EINVAL;
      put32(buffer, answer.countGiven ? answer.count : static_cast<std::uint32_t>(answer.entries));
      std::size_t offset = 4;
      for (std::size_t k = 0; k < answer.entries && offset + 6 <= record.length; ++k, offset += 6)
        std::memcpy(buffer + offset, answer.assoc[k], 6);
      return 0;
    }
    default:
      return EOPNOTSUPP;
  }
}

int answer(int fd, void* argument) {
  int result = 0;
  const int error = serve(fd, *static_cast<const ifreq*>(argument), result);
  if (error == 0) return result;
  errno = error;
  return -1;
}

// 0 when a socket of this kind may be opened, else the errno to fail with.
int socketRefused(int domain, int type) {
  if (domain != AF_INET || (type & 0xF) != SOCK_DGRAM) return 0;
  char text[kMaxScenario];
  return readScenario(text) ? socketErrno(text) : 0;
}

#ifdef DRIVER_SIM_LINKED
// Linked into a static program with --wrap=ioctl and --wrap=socket: the C
// library's functions are reached as __real_ioctl and __real_socket.
extern "C" int __real_ioctl(int fd, LibcIoctlRequest request, ...);
extern "C" int __real_socket(int domain, int type, int protocol);

int dispatch(int fd, LibcIoctlRequest request, void* argument) {
  if (request == SIOCDEVPRIVATE && argument != nullptr) return answer(fd, argument);
  return __real_ioctl(fd, request, argument);
}

}  // namespace

extern "C" int __wrap_socket(int domain, int type, int protocol) {
  if (const int error = socketRefused(domain, type)) {
    errno = error;
    return -1;
  }
  return __real_socket(domain, type, protocol);
}

extern "C" int __wrap_ioctl(int fd, LibcIoctlRequest request, ...) {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  return dispatch(fd, request, argument);
}

#else
// Every other request goes to the kernel itself: resolving the C library's
// own function (dlsym) is not safe this early in every C library, whose
// stdio may ask the terminal before the program starts.
int dispatch(int fd, LibcIoctlRequest request, void* argument) {
  if (request == SIOCDEVPRIVATE && argument != nullptr) return answer(fd, argument);
  return static_cast<int>(syscall(SYS_ioctl, fd, request, argument));
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int socket(int domain, int type, int protocol) {
  if (const int error = socketRefused(domain, type)) {
    errno = error;
    return -1;
  }
  return static_cast<int>(syscall(SYS_socket, domain, type, protocol));
}

__attribute__((visibility("default"))) int ioctl(int fd, LibcIoctlRequest request, ...) {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  return dispatch(fd, request, argument);
}

// The name a C library with 64-bit time on a 32-bit target exports ioctl as.
__attribute__((visibility("default"))) int __ioctl_time64(int fd, LibcIoctlRequest request, ...) {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  return dispatch(fd, request, argument);
}

}  // extern "C"
#endif
