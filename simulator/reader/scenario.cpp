// SPDX-License-Identifier: MIT
#include "simulator/reader/scenario.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <stdio.h>
#include <stdlib.h>
#include <cstring>

#include "client_check/file_descriptor.h"
#include "simulator/driver/driver_model.h"
#include "simulator/driver/errno_names.h"

static_assert(sizeof(driver_var) == 108 && sizeof(driver_station) == 12 &&
                  sizeof(driver_interface) == 8048,
              "the driver record has one layout on every target");

namespace scenario {
namespace {

constexpr std::uint32_t kDefaultBridge = 0x0101A8C0;  // 192.168.1.1, in memory order

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHex(char c) {
  return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}
unsigned hexValue(char c) {
  return static_cast<unsigned>(isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
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
    for (; isHex(*p) && n < 3; ++p, ++n) value = value * 16 + hexValue(*p);
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
    for (; isHex(word[n]); ++n) value = value * 16 + hexValue(word[n]);
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

bool among(const char* word, const char* const* names, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k)
    if (std::strcmp(names[k], word) == 0) return true;
  return false;
}

// "a, b and c": the names a notice says the tool asks for.
void listOf(char (&text)[256], const char* const* names, std::size_t count) {
  text[0] = '\0';
  for (std::size_t k = 0, at = 0; k < count && at < sizeof text; ++k)
    at += static_cast<std::size_t>(snprintf(text + at, sizeof text - at, "%s%s",
                                            k == 0           ? ""
                                            : k + 1 == count ? " and "
                                                             : ", ",
                                            names[k]));
}

// Reports with the line number and a formatted message.
class Report {
 public:
  Report(Listener& listener) : listener_(listener) {}
  template <typename... Args>
  void fault(unsigned line, const char* format, Args... args) {
    char message[512];
    snprintf(message, sizeof message, format, args...);
    listener_.fault(line, message);
    ++faults_;
  }
  template <typename... Args>
  void notice(unsigned line, const char* format, Args... args) {
    char message[512];
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

// The addresses of the bridge and the clients, read ahead with the same
// tokenizer from a copy of each line.
void overview(const char* text, Overview& o, Words& w) {
  char line[512];
  unsigned number = 0;
  for (const char* p = text; *p != '\0';) {
    ++number;
    const char* end = std::strchr(p, '\n');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
    const std::size_t copied = length < sizeof line - 1 ? length : sizeof line - 1;
    std::memcpy(line, p, copied);
    line[copied] = '\0';
    p = end != nullptr ? end + 1 : p + length;
    split(line, w);
    std::uint8_t octets[4];
    if (w.count < 2) continue;
    if (std::strcmp(w.word[0], "bridge") == 0) {
      char address[32] = {};
      std::strncpy(address, w.word[1], sizeof address - 1);
      if (char* slash = std::strchr(address, '/')) *slash = '\0';
      if (ipv4(address, octets)) {
        o.bridge = word32(octets);
        o.bridgeLine = number;
      }
    } else if (std::strcmp(w.word[0], "client") == 0 && ipv4(w.word[1], octets) &&
               o.clientCount < DRIVER_SCENARIO_STATIONS) {
      o.clientLines[o.clientCount] = number;
      o.clients[o.clientCount++] = word32(octets);
    }
  }
}

// The reader's state across lines.
struct Reader {
  Reader(Report& report_, Listener& listener_, driver_scenario& driver_, const Overview& o_)
      : report(report_), listener(listener_), driver(driver_), o(o_) {}
  Report& report;
  Listener& listener;
  driver_scenario& driver;
  const Overview& o;
  unsigned line = 0;
  unsigned interfaceLines[DRIVER_SCENARIO_INTERFACES] = {};
  driver_interface* block = nullptr;  // the interface block the lines belong to
  bool inBlock = false;               // after an interface line, valid or not
  // A line of a block whose interface line was faulty is checked, then
  // dropped here.
  driver_interface scratch{};
  driver_interface& current() { return block != nullptr ? *block : scratch; }
  void fault(const char* message) { report.fault(line, "%s", message); }
  // `ok`, or a fault: "KEYWORD: WHAT: WORD" for the k-th word.
  bool check(bool ok, const Words& w, std::size_t k, const char* what) {
    if (!ok) report.fault(line, "%s: %s: %s", w.word[0], what, w.word[k]);
    return ok;
  }
};

void onBridge(Reader& r, const Words& w) {
  char address[32] = {};
  std::uint8_t octets[4];
  unsigned long long prefix = 0;
  const char* slash = std::strchr(w.word[1], '/');
  bool ok = slash != nullptr && static_cast<std::size_t>(slash - w.word[1]) < sizeof address;
  if (ok) {
    std::memcpy(address, w.word[1], static_cast<std::size_t>(slash - w.word[1]));
    ok = ipv4(address, octets) && decimal(slash + 1, 2, prefix) && prefix <= 32;
  }
  if (r.check(ok, w, 1, "not an ADDRESS/PREFIX")) r.listener.network(r.line, w);
}

void onArp(Reader& r, const Words& w) {
  const unsigned before = r.report.faults();
  std::uint8_t octets[4], bytes[6] = {};
  const bool address = r.check(ipv4(w.word[1], octets), w, 1, "not an IPv4 address");
  const bool incomplete = std::strcmp(w.word[2], "incomplete") == 0;
  r.check(incomplete || mac(w.word[2], bytes), w, 2,
          "not a MAC address (hh:hh:hh:hh:hh:hh) or 'incomplete'");
  const char* state = incomplete ? "incomplete" : nullptr;
  const char* device = nullptr;
  for (std::size_t k = 3; k < w.count; ++k) {
    if (entryState(w.word[k]) >= 0 && state == nullptr) {
      state = w.word[k];
    } else if (entryState(w.word[k]) < 0 && device == nullptr) {
      r.check(name(w.word[k], 15, ".:-"), w, k, "not a device name or entry state");
      device = w.word[k];
    } else {
      r.report.fault(r.line, "arp: a second %s: %s", device != nullptr ? "device" : "state",
                     w.word[k]);
    }
  }
  if (state != nullptr && std::strcmp(state, "incomplete") == 0 && !incomplete &&
      r.report.faults() == before && std::memcmp(bytes, "\0\0\0\0\0\0", 6) != 0)
    r.report.fault(r.line, "arp: an incomplete entry has no MAC address yet: %s", w.word[2]);
  if (address) {
    const std::uint32_t a = word32(octets);
    if (a == r.o.bridge && r.o.bridgeLine != 0)
      r.report.fault(r.line, "arp %s: the bridge's own address (line %u)", w.word[1],
                     r.o.bridgeLine);
    else if (a == r.o.bridge)
      r.report.fault(r.line, "arp %s: the bridge's own address (the default)", w.word[1]);
    for (std::size_t k = 0; k < r.o.clientCount; ++k)
      if (r.o.clients[k] == a) {
        r.report.fault(r.line,
                       "arp %s: also a client (line %u), whose entry comes from its own replies",
                       w.word[1], r.o.clientLines[k]);
        break;
      }
  }
  if (r.report.faults() == before) r.listener.network(r.line, w);
}

void onArpFill(Reader& r, const Words& w) {
  unsigned long long count = 0;
  if (r.check(decimal(w.word[1], 8, count) && count <= 16777215, w, 1, "not a count"))
    r.listener.network(r.line, w);
}

void onClient(Reader& r, const Words& w) {
  std::uint8_t octets[4], bytes[6];
  const bool address = r.check(ipv4(w.word[1], octets), w, 1, "not an IPv4 address");
  const bool hasMac = w.count > 2;
  if (!r.check(!hasMac || mac(w.word[2], bytes), w, 2, "not a MAC address") || !address) return;
  if (r.driver.stations == DRIVER_SCENARIO_STATIONS) {
    r.report.fault(r.line, "client: at most %d clients", DRIVER_SCENARIO_STATIONS);
    return;
  }
  driver_station& s = r.driver.station[r.driver.stations++];
  std::memcpy(s.address, octets, 4);
  if (hasMac) {
    std::memcpy(s.mac, bytes, 6);
  } else {  // a MAC of its own, from its address
    s.mac[0] = 0x02;
    s.mac[1] = 0x00;
    std::memcpy(s.mac + 2, octets, 4);
  }
  r.listener.network(r.line, w);
}

void onSysctl(Reader& r, const Words& w) {
  const char* setting = w.word[1];
  if (r.check(name(setting, 200, "./-") && setting[0] != '.' && setting[0] != '/' &&
                  std::strstr(setting, "..") == nullptr,
              w, 1, "not a setting's name") &&
      r.check(name(w.word[2], 100, "-.:"), w, 2, "not a value"))
    r.listener.network(r.line, w);
}

void onKernel(Reader& r, const Words& w) {
  if (std::strcmp(w.word[1], "without") != 0 || missingCall(w.word[2]) < 0)
    r.fault("kernel: expected 'kernel without close_range'");
  else
    r.listener.network(r.line, w);
}

void onSocket(Reader& r, const Words& w) {
  if (std::strcmp(w.word[1], "fail") != 0) r.fault("socket: expected 'socket fail ERRNO'");
  const int error = errnoValue(w.word[2]);
  if (r.check(error != 0, w, 2, "not an errno name or number")) r.driver.socket_error = error;
}

void onInterface(Reader& r, const Words& w) {
  const char* ifname = w.word[1];
  driver_scenario& d = r.driver;
  if (!r.check(name(ifname, 15, ".-"), w, 1, "not an interface name")) return;
  for (std::uint32_t k = 0; k < d.interfaces; ++k)
    if (std::strcmp(d.interface[k].name, ifname) == 0) {
      r.report.fault(r.line, "interface %s: a second block (the first is at line %u)", ifname,
                     r.interfaceLines[k]);
      return;
    }
  if (d.interfaces == DRIVER_SCENARIO_INTERFACES) {
    r.report.fault(r.line, "interface: at most %d interface blocks", DRIVER_SCENARIO_INTERFACES);
    return;
  }
  char interfaces[kAskedInterfaces][kInterfaceNameSize];
  const char* asked[kAskedInterfaces];
  askedInterfaces(interfaces);
  for (int k = 0; k < kAskedInterfaces; ++k) asked[k] = interfaces[k];
  if (!among(ifname, asked, kAskedInterfaces)) {
    char list[256];
    listOf(list, asked, kAskedInterfaces);
    r.report.notice(r.line, "the tool never asks about interface %s (it asks %s)", ifname, list);
  }
  r.listener.network(r.line, w);
  r.interfaceLines[d.interfaces] = r.line;
  r.block = &d.interface[d.interfaces++];
  std::strcpy(r.block->name, ifname);
  r.block->magic = DRIVER_SCENARIO_DEFAULT_MAGIC;
  r.block->version = 1;
  // A primary interface reads as a ready radio's until its lines say
  // otherwise.
  if (std::strncmp(ifname, "eth", 3) == 0)
    for (const driver_var& ready : driver_model_ready_primary)
      r.block->var[r.block->vars++] = ready;
}

// magic, version and count: one number each.
void onNumber(Reader& r, const Words& w) {
  std::uint32_t value = 0;
  driver_interface& b = r.current();
  if (!r.check(number(w.word[1], value), w, 1, "not a number")) return;
  if (w.word[0][0] == 'm') {
    b.magic = value;
  } else if (w.word[0][0] == 'v') {
    b.version = value;
  } else {
    b.count_given = 1;
    b.count = value;
  }
}

void onResult(Reader& r, const Words& w) {
  unsigned long long value = 0;
  if (r.check(decimal(w.word[1], 10, value) && value <= 2147483647, w, 1,
              "not a number from 0 to 2147483647"))
    r.current().result = static_cast<ds_s32>(value);
}

void onVar(Reader& r, const Words& w) {
  driver_interface& b = r.current();
  const char* var = w.word[1];
  const unsigned before = r.report.faults();
  r.check(name(var, 99, ""), w, 1, "not a variable name");
  const char* read[DRIVER_MODEL_READY_VARS];
  for (std::size_t k = 0; k < DRIVER_MODEL_READY_VARS; ++k)
    read[k] = driver_model_ready_primary[k].name;
  if (r.report.faults() == before && !among(var, read, DRIVER_MODEL_READY_VARS)) {
    char list[256];
    listOf(list, read, DRIVER_MODEL_READY_VARS);
    r.report.notice(r.line, "the tool never reads variable %s (it reads %s)", var, list);
  }
  std::int32_t varValue = 0;
  int error = 0;
  std::uint32_t value = 0;
  const bool unknown = std::strcmp(w.word[2], "unknown") == 0;
  if (unknown) {
    r.check(w.count <= 3, w, 3, "'unknown' takes no further word");
  } else if (std::strcmp(w.word[2], "error") == 0) {
    error = EIO;
    if (w.count > 3)
      r.check((error = errnoValue(w.word[3])) != 0, w, 3, "not an errno name or number");
  } else {
    r.check(w.count <= 3, w, 3, "a value takes no further word");
    const bool negative = w.word[2][0] == '-';
    r.check(number(w.word[2] + (negative ? 1 : 0), value), w, 2,
            "not a number, 'error' or 'unknown'");
    varValue = static_cast<std::int32_t>(negative ? 0u - value : value);
  }
  if (r.report.faults() != before) return;
  if (unknown) {  // the driver does not know it: EINVAL
    for (std::uint32_t k = 0; k < b.vars; ++k)
      if (std::strcmp(b.var[k].name, var) == 0) b.var[k--] = b.var[--b.vars];
    return;
  }
  driver_var* slot = nullptr;  // the last line for a name wins
  for (std::uint32_t k = 0; k < b.vars; ++k)
    if (std::strcmp(b.var[k].name, var) == 0) slot = &b.var[k];
  if (slot == nullptr) {
    if (b.vars == DRIVER_SCENARIO_VARS) {
      r.report.fault(r.line, "var: at most %d variables an interface", DRIVER_SCENARIO_VARS);
      return;
    }
    slot = &b.var[b.vars++];
    std::strcpy(slot->name, var);
  }
  slot->value = varValue;
  slot->error = error;
}

void onAssoc(Reader& r, const Words& w) {
  driver_interface& b = r.current();
  std::uint8_t bytes[6];
  for (std::size_t k = 1; k < w.count; ++k) {
    if (!r.check(mac(w.word[k], bytes), w, k, "not a MAC address (hh:hh:hh:hh:hh:hh)")) continue;
    if (b.assoc_entries == DRIVER_SCENARIO_ASSOC) {
      r.report.fault(r.line, "assoc: at most %d entries an interface", DRIVER_SCENARIO_ASSOC);
      return;
    }
    std::memcpy(b.assoc[b.assoc_entries++], bytes, 6);
  }
}

void onFail(Reader& r, const Words& w) {
  driver_interface& b = r.current();
  std::uint32_t command = 0;
  const bool isCommand = r.check(number(w.word[1], command), w, 1, "not a command number");
  const int error = errnoValue(w.word[2]);
  if (!r.check(error != 0, w, 2, "not an errno name or number") || !isCommand) return;
  driver_fail* slot = nullptr;  // the last line for a command wins
  for (std::uint32_t k = 0; k < b.fails; ++k)
    if (b.fail[k].command == command) slot = &b.fail[k];
  if (slot == nullptr) {
    if (b.fails == DRIVER_SCENARIO_FAILS) {
      r.report.fault(r.line, "fail: at most %d commands an interface", DRIVER_SCENARIO_FAILS);
      return;
    }
    slot = &b.fail[b.fails++];
    slot->command = command;
  }
  slot->error = error;
}

// Every keyword: the words it takes after itself, whether it belongs to an
// interface block, and what reads it.
struct Keyword {
  const char* name;
  std::size_t least, most;
  bool inBlock;
  void (*read)(Reader&, const Words&);
};
constexpr Keyword kKeywords[] = {
    {"bridge", 1, 1, false, onBridge},    {"arp", 2, 4, false, onArp},
    {"arp-fill", 1, 1, false, onArpFill}, {"client", 1, 2, false, onClient},
    {"sysctl", 2, 2, false, onSysctl},    {"kernel", 2, 2, false, onKernel},
    {"socket", 2, 2, false, onSocket},    {"interface", 1, 1, false, onInterface},
    {"magic", 1, 1, true, onNumber},      {"version", 1, 1, true, onNumber},
    {"count", 1, 1, true, onNumber},      {"result", 1, 1, true, onResult},
    {"var", 2, 3, true, onVar},           {"assoc", 1, DRIVER_SCENARIO_ASSOC, true, onAssoc},
    {"fail", 2, 2, true, onFail},
};

}  // namespace

void askedInterfaces(char (&names)[kAskedInterfaces][kInterfaceNameSize]) {
  for (int radio = 0; radio < kRadioCount; ++radio) {
    secondaryName(names[radio], radio);
    primaryName(names[kRadioCount + radio], radio);
  }
}

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
  const FileDescriptor file(open(path, O_RDONLY | O_CLOEXEC));
  if (!file.isOpen()) {
    listener.fault(0, "cannot be read");
    return false;
  }
  std::size_t used = 0;
  for (ssize_t n;
       used < sizeof text && (n = ::read(file.fd(), text + used, sizeof text - used)) > 0;)
    used += static_cast<std::size_t>(n);
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
  static_assert(sizeof(Words) < 16 * 1024, "words fit the stack");
  Words w;
  Overview o;
  overview(text, o, w);
  Reader r(report, listener, driver, o);

  for (char* line = text; line != nullptr;) {
    char* next = std::strchr(line, '\n');
    if (next != nullptr) *next++ = '\0';
    ++r.line;
    split(line, w);
    line = next;
    if (w.count == 0) continue;
    const Keyword* keyword = nullptr;
    for (const Keyword& k : kKeywords)
      if (std::strcmp(w.word[0], k.name) == 0) keyword = &k;
    if (keyword == nullptr) {
      report.fault(r.line, "unknown keyword: %s", w.word[0]);
      continue;
    }
    if (keyword->inBlock && !r.inBlock) {
      report.fault(r.line, "%s outside an interface block", w.word[0]);
      continue;
    }
    if (keyword->read == onInterface) {  // a new block, whatever its line holds
      r.inBlock = true;
      r.block = nullptr;
    }
    if (wordCount(report, r.line, w, keyword->least, keyword->most)) keyword->read(r, w);
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
