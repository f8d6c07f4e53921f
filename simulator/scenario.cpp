// SPDX-License-Identifier: MIT
#include "simulator/scenario.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdio.h>
#include <stdlib.h>
#include <cstring>

#include "simulator/errno_names.h"

static_assert(sizeof(driver_var) == 108 && sizeof(driver_station) == 12 &&
                  sizeof(driver_interface) == 8048,
              "the driver record has one layout on every target");

namespace scenario {
namespace {

constexpr std::uint32_t kDefaultBridge = 0x0101A8C0;  // 192.168.1.1, in memory order

// What a ready radio's primary interface reads.
constexpr driver_var kReadyPrimary[] = {{"psta", 0, 0}, {"wet_tunnel", 0, 0}, {"bss", 1, 0}};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHex(char c) {
  return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

// A decimal number of 1 to `digits` digits, all of the word.
bool decimal(const char* word, unsigned digits, unsigned long long& value) {
  std::size_t n = 0;
  value = 0;
  for (; isDigit(word[n]); ++n) value = value * 10 + static_cast<unsigned>(word[n] - '0');
  return n >= 1 && n <= digits && word[n] == '\0';
}

// Four decimal octets of 1 to 3 digits, each up to 255.
bool ipv4(const char* word, std::uint8_t (&octets)[4]) {
  const char* p = word;
  for (int k = 0; k < 4; ++k) {
    if (k > 0 && *p++ != '.') return false;
    unsigned value = 0, n = 0;
    for (; isDigit(*p) && n < 4; ++p, ++n) value = value * 10 + static_cast<unsigned>(*p - '0');
    if (n == 0 || n > 3 || value > 255) return false;
    octets[k] = static_cast<std::uint8_t>(value);
  }
  return *p == '\0';
}

std::uint32_t word32(const std::uint8_t (&octets)[4]) {
  std::uint32_t value;
  std::memcpy(&value, octets, sizeof value);
  return value;
}

// Six groups of 1 or 2 hex digits separated by colons.
bool mac(const char* word, std::uint8_t* bytes) {
  const char* p = word;
  for (int k = 0; k < 6; ++k) {
    if (k > 0 && *p++ != ':') return false;
    unsigned value = 0, n = 0;
    for (; isHex(*p) && n < 3; ++p, ++n)
      value = value * 16 + static_cast<unsigned>(isDigit(*p) ? *p - '0' : (*p | 0x20) - 'a' + 10);
    if (n == 0 || n > 2) return false;
    bytes[k] = static_cast<std::uint8_t>(value);
  }
  return *p == '\0';
}

// 0x and 1 to 8 hex digits, or 1 to 10 decimal digits; up to 4294967295.
bool number(const char* word, std::uint32_t& out) {
  unsigned long long value = 0;
  if (word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    std::size_t n = 2;
    for (; isHex(word[n]); ++n)
      value = value * 16 +
              static_cast<unsigned>(isDigit(word[n]) ? word[n] - '0' : (word[n] | 0x20) - 'a' + 10);
    if (n < 3 || n > 10 || word[n] != '\0') return false;
  } else if (!decimal(word, 10, value) || value > 0xFFFFFFFFull) {
    return false;
  }
  out = static_cast<std::uint32_t>(value);
  return true;
}

bool name(const char* word, std::size_t longest, const char* extra) {
  std::size_t n = 0;
  for (; word[n] != '\0'; ++n) {
    const char c = word[n];
    const bool alnum = isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    if (!alnum && c != '_' && std::strchr(extra, c) == nullptr) return false;
  }
  return n >= 1 && n <= longest;
}

// Reports with the line number and a formatted message.
class Report {
 public:
  Report(Listener& listener) : listener_(listener) {}
  template <typename... Args>
  void fault(unsigned line, const char* format, Args... args) {
    char message[256];
    snprintf(message, sizeof message, format, args...);
    listener_.fault(line, message);
    ++faults_;
  }
  template <typename... Args>
  void notice(unsigned line, const char* format, Args... args) {
    char message[256];
    snprintf(message, sizeof message, format, args...);
    listener_.notice(line, message);
  }
  unsigned faults() const { return faults_; }

 private:
  Listener& listener_;
  unsigned faults_ = 0;
};

// Splits one line (cut at its end) into words, past a comment and a CR.
void split(char* line, Words& words) {
  if (char* comment = std::strchr(line, '#')) *comment = '\0';
  words.count = 0;
  char* p = line;
  while (words.count < kMaxWords) {
    while (*p == ' ' || *p == '\t' || *p == '\r') *p++ = '\0';
    if (*p == '\0') break;
    words.word[words.count++] = p;
    while (*p != '\0' && *p != ' ' && *p != '\t' && *p != '\r') ++p;
  }
}

// The words after the keyword must number from `least` to `most`.
bool wordCount(Report& report, unsigned line, const Words& w, std::size_t least, std::size_t most) {
  const std::size_t n = w.count - 1;
  if (n >= least && n <= most) return true;
  if (least == most)
    report.fault(line, "%s takes %zu word(s), not %zu", w.word[0], least, n);
  else
    report.fault(line, "%s takes %zu to %zu words, not %zu", w.word[0], least, most, n);
  return false;
}

// Where the other lines stand, for the checks across lines.
struct Overview {
  std::uint32_t bridge = kDefaultBridge;
  unsigned bridgeLine = 0;
  std::uint32_t clients[DRIVER_SCENARIO_STATIONS];
  unsigned clientLines[DRIVER_SCENARIO_STATIONS];
  std::size_t clientCount = 0;
};

void overview(const char* text, Overview& o) {
  char line[512];
  unsigned number = 0;
  for (const char* p = text; *p != '\0';) {
    ++number;
    const char* end = std::strchr(p, '\n');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
    std::size_t copied = length < sizeof line - 1 ? length : sizeof line - 1;
    std::memcpy(line, p, copied);
    line[copied] = '\0';
    char* save = nullptr;
    const char* key = strtok_r(line, " \t\r", &save);
    const char* first = key != nullptr ? strtok_r(nullptr, " \t\r#", &save) : nullptr;
    std::uint8_t octets[4];
    if (key != nullptr && first != nullptr) {
      if (std::strcmp(key, "bridge") == 0) {
        char address[32] = {};
        std::strncpy(address, first, sizeof address - 1);
        if (char* slash = std::strchr(address, '/')) *slash = '\0';
        if (ipv4(address, octets)) {
          o.bridge = word32(octets);
          o.bridgeLine = number;
        }
      } else if (std::strcmp(key, "client") == 0 && ipv4(first, octets) &&
                 o.clientCount < DRIVER_SCENARIO_STATIONS) {
        o.clientLines[o.clientCount] = number;
        o.clients[o.clientCount++] = word32(octets);
      }
    }
    p = end != nullptr ? end + 1 : p + length;
  }
}

}  // namespace

int entryState(const char* word) {
  static const char* const kStates[] = {"permanent", "reachable", "stale", "failed", "incomplete"};
  for (int k = 0; k < 5; ++k)
    if (std::strcmp(word, kStates[k]) == 0) return k;
  return -1;
}

long missingCall(const char* word) {
  // The number is close_range's in every ABI: the numbers of new calls have
  // been the same on all architectures since Linux 5.1.
  return std::strcmp(word, "close_range") == 0 ? 436 : -1;
}

int errnoValue(const char* word) {
  for (const ErrnoName& e : kErrnoNames)
    if (std::strcmp(word, e.name) == 0) return e.value;
  unsigned long long value = 0;
  if (word[0] != '0' && decimal(word, 4, value)) return static_cast<int>(value);
  return 0;
}

bool load(const char* path, char (&text)[kMaxText], Listener& listener) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    listener.fault(0, "cannot be read");
    return false;
  }
  std::size_t used = 0;
  for (ssize_t n; used < sizeof text && (n = ::read(fd, text + used, sizeof text - used)) > 0;)
    used += static_cast<std::size_t>(n);
  close(fd);
  if (used == sizeof text) {
    listener.fault(0, "larger than 65535 bytes");
    return false;
  }
  text[used] = '\0';
  return true;
}

bool read(char* text, driver_scenario& driver, Listener& listener) {
  std::memset(&driver, 0, sizeof driver);
  driver.magic = DRIVER_SCENARIO_MAGIC;
  driver.size = sizeof driver;
  Report report(listener);
  Overview o;
  overview(text, o);
  unsigned interfaceLines[DRIVER_SCENARIO_INTERFACES] = {};
  driver_interface* block = nullptr;  // the interface block the lines belong to
  bool inBlock = false;               // after an interface line, valid or not
  static_assert(sizeof(Words) < 16 * 1024, "words fit the stack");
  Words w;

  unsigned number = 0;
  for (char* line = text; line != nullptr;) {
    char* next = std::strchr(line, '\n');
    if (next != nullptr) *next++ = '\0';
    ++number;
    split(line, w);
    line = next;
    if (w.count == 0) continue;
    const char* key = w.word[0];
    std::uint8_t octets[4];
    std::uint8_t bytes[6];
    std::uint32_t value = 0;
    unsigned long long count = 0;

    if (std::strcmp(key, "bridge") == 0) {
      if (!wordCount(report, number, w, 1, 1)) continue;
      char address[32] = {};
      const char* slash = std::strchr(w.word[1], '/');
      bool ok = slash != nullptr && static_cast<std::size_t>(slash - w.word[1]) < sizeof address;
      if (ok) {
        std::memcpy(address, w.word[1], static_cast<std::size_t>(slash - w.word[1]));
        ok = ipv4(address, octets) && decimal(slash + 1, 2, count) && count <= 32;
      }
      if (!ok) {
        report.fault(number, "bridge: not an ADDRESS/PREFIX: %s", w.word[1]);
      } else {
        listener.network(number, w);
      }
    } else if (std::strcmp(key, "arp") == 0) {
      if (!wordCount(report, number, w, 2, 4)) continue;
      const unsigned before = report.faults();
      const bool address = ipv4(w.word[1], octets);
      if (!address) report.fault(number, "arp: not an IPv4 address: %s", w.word[1]);
      const bool incomplete = std::strcmp(w.word[2], "incomplete") == 0;
      if (!incomplete && !mac(w.word[2], bytes))
        report.fault(number, "arp: not a MAC address (hh:hh:hh:hh:hh:hh) or 'incomplete': %s",
                     w.word[2]);
      const char* state = incomplete ? "incomplete" : nullptr;
      const char* device = nullptr;
      for (std::size_t k = 3; k < w.count; ++k) {
        if (entryState(w.word[k]) >= 0 && state == nullptr) {
          state = w.word[k];
        } else if (entryState(w.word[k]) < 0 && device == nullptr) {
          if (!name(w.word[k], 15, ".:-"))
            report.fault(number, "arp: not a device name or entry state: %s", w.word[k]);
          device = w.word[k];
        } else {
          report.fault(number, "arp: a second %s: %s", device != nullptr ? "device" : "state",
                       w.word[k]);
        }
      }
      if (state != nullptr && std::strcmp(state, "incomplete") == 0 && !incomplete &&
          report.faults() == before && std::memcmp(bytes, "\0\0\0\0\0\0", 6) != 0)
        report.fault(number, "arp: an incomplete entry has no MAC address yet: %s", w.word[2]);
      if (address) {
        const std::uint32_t a = word32(octets);
        if (a == o.bridge)
          o.bridgeLine != 0
              ? report.fault(number, "arp %s: the bridge's own address (line %u)", w.word[1],
                             o.bridgeLine)
              : report.fault(number, "arp %s: the bridge's own address (the default)", w.word[1]);
        for (std::size_t k = 0; k < o.clientCount; ++k)
          if (o.clients[k] == a) {
            report.fault(number,
                         "arp %s: also a client (line %u), whose entry comes from its own replies",
                         w.word[1], o.clientLines[k]);
            break;
          }
      }
      if (report.faults() == before) listener.network(number, w);
    } else if (std::strcmp(key, "sysctl") == 0) {
      if (!wordCount(report, number, w, 2, 2)) continue;
      if (!name(w.word[1], 200, "./-") || w.word[1][0] == '.' || w.word[1][0] == '/' ||
          std::strstr(w.word[1], "..") != nullptr)
        report.fault(number, "sysctl: not a setting's name: %s", w.word[1]);
      else if (!name(w.word[2], 100, "-.:"))
        report.fault(number, "sysctl: not a value: %s", w.word[2]);
      else
        listener.network(number, w);
    } else if (std::strcmp(key, "kernel") == 0) {
      if (!wordCount(report, number, w, 2, 2)) continue;
      if (std::strcmp(w.word[1], "without") != 0 || missingCall(w.word[2]) < 0)
        report.fault(number, "kernel: expected 'kernel without close_range'");
      else
        listener.network(number, w);
    } else if (std::strcmp(key, "arp-fill") == 0) {
      if (!wordCount(report, number, w, 1, 1)) continue;
      if (!decimal(w.word[1], 8, count) || count > 16777215)
        report.fault(number, "arp-fill: not a count: %s", w.word[1]);
      else
        listener.network(number, w);
    } else if (std::strcmp(key, "client") == 0) {
      if (!wordCount(report, number, w, 1, 2)) continue;
      const bool address = ipv4(w.word[1], octets);
      if (!address) report.fault(number, "client: not an IPv4 address: %s", w.word[1]);
      const bool hasMac = w.count > 2;
      if (hasMac && !mac(w.word[2], bytes))
        report.fault(number, "client: not a MAC address: %s", w.word[2]);
      else if (address) {
        if (driver.stations == DRIVER_SCENARIO_STATIONS) {
          report.fault(number, "client: at most %d clients", DRIVER_SCENARIO_STATIONS);
          continue;
        }
        driver_station& s = driver.station[driver.stations++];
        std::memcpy(s.address, octets, 4);
        if (hasMac) {
          std::memcpy(s.mac, bytes, 6);
        } else {  // a MAC of its own, from its address
          s.mac[0] = 0x02;
          s.mac[1] = 0x00;
          std::memcpy(s.mac + 2, octets, 4);
        }
        listener.network(number, w);
      }
    } else if (std::strcmp(key, "socket") == 0) {
      if (!wordCount(report, number, w, 2, 2)) continue;
      if (std::strcmp(w.word[1], "fail") != 0)
        report.fault(number, "socket: expected 'socket fail ERRNO'");
      const int error = errnoValue(w.word[2]);
      if (error == 0)
        report.fault(number, "socket: not an errno name or number: %s", w.word[2]);
      else
        driver.socket_error = error;
    } else if (std::strcmp(key, "interface") == 0) {
      inBlock = true;
      block = nullptr;
      if (!wordCount(report, number, w, 1, 1)) continue;
      const char* ifname = w.word[1];
      if (!name(ifname, 15, ".-")) {
        report.fault(number, "interface: not an interface name: %s", ifname);
        continue;
      }
      bool again = false;
      for (std::uint32_t k = 0; k < driver.interfaces; ++k)
        if (std::strcmp(driver.interface[k].name, ifname) == 0) {
          report.fault(number, "interface %s: a second block (the first is at line %u)", ifname,
                       interfaceLines[k]);
          again = true;
        }
      if (again) continue;
      if (driver.interfaces == DRIVER_SCENARIO_INTERFACES) {
        report.fault(number, "interface: at most %d interface blocks", DRIVER_SCENARIO_INTERFACES);
        continue;
      }
      if (std::strcmp(ifname, "wl0.1") != 0 && std::strcmp(ifname, "wl1.1") != 0 &&
          std::strcmp(ifname, "eth1") != 0 && std::strcmp(ifname, "eth2") != 0)
        report.notice(
            number, "the tool never asks about interface %s (it asks wl0.1, wl1.1, eth1 and eth2)",
            ifname);
      listener.network(number, w);
      interfaceLines[driver.interfaces] = number;
      block = &driver.interface[driver.interfaces++];
      std::strcpy(block->name, ifname);
      block->magic = DRIVER_SCENARIO_DEFAULT_MAGIC;
      block->version = 1;
      // A primary interface reads as a ready radio's until its lines say
      // otherwise.
      if (std::strncmp(ifname, "eth", 3) == 0)
        for (const driver_var& ready : kReadyPrimary) block->var[block->vars++] = ready;
    } else if (std::strcmp(key, "magic") == 0 || std::strcmp(key, "version") == 0 ||
               std::strcmp(key, "count") == 0 || std::strcmp(key, "result") == 0 ||
               std::strcmp(key, "var") == 0 || std::strcmp(key, "assoc") == 0 ||
               std::strcmp(key, "fail") == 0) {
      if (!inBlock) {
        report.fault(number, "%s outside an interface block", key);
        continue;
      }
      // A line of a block whose interface line was faulty is checked and
      // then dropped.
      driver_interface scratch;
      driver_interface& b = block != nullptr ? *block : scratch;
      if (std::strcmp(key, "magic") == 0 || std::strcmp(key, "version") == 0 ||
          std::strcmp(key, "count") == 0) {
        if (!wordCount(report, number, w, 1, 1)) continue;
        if (!scenario::number(w.word[1], value)) {
          report.fault(number, "%s: not a number: %s", key, w.word[1]);
        } else if (key[0] == 'm') {
          b.magic = value;
        } else if (key[0] == 'v') {
          b.version = value;
        } else {
          b.count_given = 1;
          b.count = value;
        }
      } else if (std::strcmp(key, "result") == 0) {
        if (!wordCount(report, number, w, 1, 1)) continue;
        if (!decimal(w.word[1], 10, count) || count > 2147483647)
          report.fault(number, "result: not a number from 0 to 2147483647: %s", w.word[1]);
        else
          b.result = static_cast<ds_s32>(count);
      } else if (std::strcmp(key, "var") == 0) {
        if (!wordCount(report, number, w, 2, 3)) continue;
        const char* var = w.word[1];
        const unsigned before = report.faults();
        if (!name(var, 99, ""))
          report.fault(number, "var: not a variable name: %s", var);
        else if (std::strcmp(var, "psta") != 0 && std::strcmp(var, "wet_tunnel") != 0 &&
                 std::strcmp(var, "bss") != 0)
          report.notice(
              number, "the tool never reads variable %s (it reads psta, wet_tunnel and bss)", var);
        std::int32_t varValue = 0;
        int error = 0;
        const bool unknown = std::strcmp(w.word[2], "unknown") == 0;
        if (unknown) {
          if (w.count > 3)
            report.fault(number, "var: 'unknown' takes no further word: %s", w.word[3]);
        } else if (std::strcmp(w.word[2], "error") == 0) {
          error = EIO;
          if (w.count > 3 && (error = errnoValue(w.word[3])) == 0)
            report.fault(number, "var: not an errno name or number: %s", w.word[3]);
        } else {
          if (w.count > 3)
            report.fault(number, "var: a value takes no further word: %s", w.word[3]);
          const bool negative = w.word[2][0] == '-';
          if (!scenario::number(w.word[2] + (negative ? 1 : 0), value))
            report.fault(number, "var: not a number, 'error' or 'unknown': %s", w.word[2]);
          varValue = static_cast<std::int32_t>(negative ? 0u - value : value);
        }
        if (report.faults() != before) continue;
        if (unknown) {  // the driver does not know it: EINVAL
          for (std::uint32_t k = 0; k < b.vars; ++k)
            if (std::strcmp(b.var[k].name, var) == 0) b.var[k--] = b.var[--b.vars];
          continue;
        }
        driver_var* slot = nullptr;  // the last line for a name wins
        for (std::uint32_t k = 0; k < b.vars; ++k)
          if (std::strcmp(b.var[k].name, var) == 0) slot = &b.var[k];
        if (slot == nullptr) {
          if (b.vars == DRIVER_SCENARIO_VARS) {
            report.fault(number, "var: at most %d variables an interface", DRIVER_SCENARIO_VARS);
            continue;
          }
          slot = &b.var[b.vars++];
          std::strcpy(slot->name, var);
        }
        slot->value = varValue;
        slot->error = error;
      } else if (std::strcmp(key, "assoc") == 0) {
        if (!wordCount(report, number, w, 1, DRIVER_SCENARIO_ASSOC)) continue;
        for (std::size_t k = 1; k < w.count; ++k) {
          if (!mac(w.word[k], bytes)) {
            report.fault(number, "assoc: not a MAC address (hh:hh:hh:hh:hh:hh): %s", w.word[k]);
          } else if (b.assoc_entries == DRIVER_SCENARIO_ASSOC) {
            report.fault(number, "assoc: at most %d entries an interface", DRIVER_SCENARIO_ASSOC);
            break;
          } else {
            std::memcpy(b.assoc[b.assoc_entries++], bytes, 6);
          }
        }
      } else {  // fail
        if (!wordCount(report, number, w, 2, 2)) continue;
        const bool command = scenario::number(w.word[1], value);
        if (!command) report.fault(number, "fail: not a command number: %s", w.word[1]);
        const int error = errnoValue(w.word[2]);
        if (error == 0) report.fault(number, "fail: not an errno name or number: %s", w.word[2]);
        if (!command || error == 0) continue;
        driver_fail* slot = nullptr;  // the last line for a command wins
        for (std::uint32_t k = 0; k < b.fails; ++k)
          if (b.fail[k].command == value) slot = &b.fail[k];
        if (slot == nullptr) {
          if (b.fails == DRIVER_SCENARIO_FAILS) {
            report.fault(number, "fail: at most %d commands an interface", DRIVER_SCENARIO_FAILS);
            continue;
          }
          slot = &b.fail[b.fails++];
          slot->command = value;
        }
        slot->error = error;
      }
    } else {
      report.fault(number, "unknown keyword: %s", key);
    }
  }

  // Each station answers through the first interface whose list holds its
  // MAC, else through the first interface.
  for (std::uint32_t s = 0; s < driver.stations; ++s) {
    driver_station& station = driver.station[s];
    bool found = false;
    for (std::uint32_t k = 0; k < driver.interfaces && !found; ++k)
      for (std::uint32_t e = 0; e < driver.interface[k].assoc_entries && !found; ++e)
        if (std::memcmp(driver.interface[k].assoc[e], station.mac, 6) == 0) {
          station.interface = static_cast<ds_u16>(k);
          found = true;
        }
  }
  return report.faults() == 0;
}

}  // namespace scenario
