// SPDX-License-Identifier: MIT
// libc_replay [--generate N] CORPUS_DIR...
//
// The differential checks of the fuzz targets as a plain program, for the C
// libraries libFuzzer cannot target (on the router's, it runs under qemu):
//  - the ARP table scan against this C library's own reading of the same
//    bytes: the pieces of fgets() into 200 bytes, the sscanf() split, the
//    "%x:%x:%x:%x:%x:%x" MAC parse, inet_addr() and the whole lookup;
//  - the argument reader against this library's strtoul() (strtoul32.h).
// Inputs: every file of the corpus directories (a directory named
// address_word holds argument texts, any other ARP cases: four bytes of
// target address, then the table), then N generated cases of each kind from
// a fixed seed (default 100,000).
//
// Prints, per check, the cases run. Exits 1 at the first case where the
// tool and the C library disagree, naming it.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <cstdint>

#include "client_check/address_word.h"
#include "tests/arp_differential.h"
#include "tests/strtoul32.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;
constexpr std::size_t kMaxPieces = kMaxInput;

struct Replay {
  char path[64];
  ArpDifferential ran;  // the cases each check has run
  unsigned long arguments = 0;
  std::size_t pieceLength[kMaxPieces];
};

[[noreturn]] void disagree(const char* what, const char* name, const void* input,
                           std::size_t size) {
  fprintf(stderr, "libc_replay: %s: the tool and the C library disagree on %s:\n", name, what);
  fwrite(input, 1, size, stderr);
  fputc('\n', stderr);
  exit(1);
}

void checkArp(Replay& r, const char* name, const unsigned char* data, std::size_t size) {
  if (size < 4 || size > kMaxInput + 4) return;
  in_addr_t target;
  memcpy(&target, data, sizeof target);
  const int fd = open(r.path, O_RDWR | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || write(fd, data + 4, size - 4) != static_cast<ssize_t>(size - 4)) {
    perror(r.path);
    exit(2);
  }
  ArpDifferential d;
  compareArpScan(reinterpret_cast<const char*>(data + 4), fd, target, r.pieceLength, kMaxPieces, d);
  close(fd);
  r.ran.pieces += d.pieces, r.ran.splits += d.splits, r.ran.macs += d.macs;
  r.ran.addresses += d.addresses, r.ran.lookups += d.lookups;
  if (d.disagreement != nullptr) disagree(d.disagreement, name, data, size);
}

void checkArgument(Replay& r, const char* name, const char* text) {
  const std::uint32_t want = strtoul32(text);
  ++r.arguments;
  if (readAddressWord(text) != want) disagree("the argument (strtoul)", name, text, strlen(text));
}

void replayDirectory(Replay& r, const char* directory) {
  const char* base = strrchr(directory, '/');
  const bool arguments = strstr(base != nullptr ? base : directory, "address_word") != nullptr;
  DIR* dir = opendir(directory);
  if (dir == nullptr) {
    perror(directory);
    exit(2);
  }
  static_assert(kMaxInput + 1 < 128 * 1024, "the input buffer fits the stack");
  unsigned char data[kMaxInput + 5];
  int files = 0;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    char file[512];
    snprintf(file, sizeof file, "%s/%s", directory, entry->d_name);
    FILE* input = fopen(file, "rb");
    if (input == nullptr) continue;
    ++files;
    const std::size_t size = fread(data, 1, sizeof data - 1, input);
    fclose(input);
    data[size] = '\0';
    if (arguments)
      checkArgument(r, file, reinterpret_cast<const char*>(data));
    else
      checkArp(r, file, data, size);
  }
  closedir(dir);
  if (files == 0) {
    fprintf(stderr, "libc_replay: no input read from %s\n", directory);
    exit(2);
  }
}

// A fixed-seed generator of the forms that tell C libraries apart.
struct Generator {
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  unsigned next(unsigned bound) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<unsigned>((state >> 11) % bound);
  }
  const char* pick(const char* const* options, unsigned count) { return options[next(count)]; }
};

// Appends printf-style text to `out`, within `capacity`.
template <typename... Args>
void append(char* out, std::size_t& used, std::size_t capacity, const char* format, Args... args) {
  if (used >= capacity) return;
  const int n = snprintf(out + used, capacity - used, format, args...);
  if (n > 0) used += static_cast<std::size_t>(n) < capacity - used ? n : capacity - used - 1;
}

void octets(Generator& g, char* out, std::size_t& used, std::size_t capacity) {
  static const char* const kForms[] = {"%u.%u.%u.%u",   "%u.%u.%u.%03u", "0x%x.%u.%u.%u",
                                       "%u.%u.%u",      "%u.%u",         "%u.%u.%u.%u.%u",
                                       "0%o.%u.%u.%u",  "%u.%u.%u.%u ",  "%u.%u.%u.%ux",
                                       "%u.%u.%u.0x%x", "%u..%u.%u",     "%u.%u.%u.%u"};
  const unsigned a = g.next(4) == 0 ? g.next(300) : g.next(256);
  append(out, used, capacity, g.pick(kForms, 12), a, g.next(256), g.next(3), g.next(9) * 31,
         g.next(256));
}

std::size_t generateTable(Generator& g, unsigned char* data, std::size_t capacity) {
  static const char* const kSpaces[] = {" ", "  ", "         ", "\t", " \t ", ""};
  static const char* const kHex[] = {"0x1", "0x2", "0x0", "0x6", "0x", "1", "0x0001", "0xZ", "x2"};
  static const char* const kMacs[] = {"%02x:%02x:%02x:%02x:%02x:%02x",
                                      "%x:%x:%x:%x:%x:%x",
                                      "%02x:%02x:%02x",
                                      "%x:%x:%x:%x:%x:%x:%x",
                                      "%02x-%02x-%02x-%02x-%02x-%02x",
                                      "1%02x:%x:%x:%x:%x:%x",
                                      "%02X:%02X:%02X:%02X:%02X:%02Xg",
                                      "zz:%x:%x:%x:%x:%x",
                                      "00:00:00:00:00:00"};
  static const char* const kEnds[] = {"\n", "\n", "\n", "", "\r\n", " \n"};
  char* text = reinterpret_cast<char*>(data + 4);
  const std::size_t room = capacity - 4;
  std::size_t used = 0;
  append(text, used, room,
         "IP address       HW type     Flags       HW address            Mask     Device\n");
  const unsigned lines = 1 + g.next(6);
  std::size_t targetLine = 0, targetEnd = 0;
  const unsigned chosen = g.next(lines);
  for (unsigned k = 0; k < lines; ++k) {
    const std::size_t start = used;
    octets(g, text, used, room);
    if (k == chosen) targetLine = start, targetEnd = used;
    append(text, used, room, "%s%s%s", g.pick(kSpaces, 6), g.pick(kHex, 9), g.pick(kSpaces, 6));
    append(text, used, room, "%s%s", g.pick(kHex, 9), g.pick(kSpaces, 6));
    append(text, used, room, g.pick(kMacs, 9), g.next(256), g.next(256), g.next(256), g.next(256),
           g.next(256), g.next(256), g.next(256));
    append(text, used, room, "%s*%sbr%u", g.pick(kSpaces, 6), g.pick(kSpaces, 6), g.next(3));
    if (g.next(16) == 0)  // an overlong line, cut into pieces by fgets
      for (unsigned pad = 150 + g.next(100); pad > 0; --pad) append(text, used, room, " ");
    if (g.next(64) == 0 && used < room) text[used++] = '\0';
    append(text, used, room, "%s", g.pick(kEnds, 6));
  }
  // Mostly a target that one line's address field reads as, as inet_addr
  // reads it here; else any address.
  in_addr_t target;
  if (g.next(5) != 0) {
    char field[200] = {};
    std::size_t n = 0;
    while (targetLine + n < targetEnd && n < sizeof field - 1 && text[targetLine + n] > ' ')
      field[n] = text[targetLine + n], ++n;
    target = inet_addr(field);
  } else {
    target = static_cast<in_addr_t>(g.next(0xFFFFFFFFu));
  }
  memcpy(data, &target, sizeof target);
  return 4 + used;
}

void generateArgument(Generator& g, char* text, std::size_t capacity) {
  static const char* const kParts[] = {" ",
                                       "\t",
                                       "\n\v\f\r",
                                       "+",
                                       "-",
                                       "0",
                                       "7",
                                       "83994816",
                                       "4294967295",
                                       "4294967296",
                                       "99999999999999999999",
                                       "18446744073709551615",
                                       "18446744073709551616",
                                       "x",
                                       ".",
                                       "1.2",
                                       "0x10",
                                       "000000000000004294967295",
                                       "--1",
                                       "+-1"};
  std::size_t used = 0;
  text[0] = '\0';
  for (unsigned parts = 1 + g.next(4); parts > 0; --parts)
    append(text, used, capacity, "%s", g.pick(kParts, 20));
  if (g.next(3) == 0) append(text, used, capacity, "%u", g.next(0xFFFFFFFFu));
}

}  // namespace

int main(int argc, char** argv) {
  static_assert(sizeof(Replay) < 1024 * 1024, "the replay's state fits the stack");
  Replay r;
  // Tables go through a file, as the tool reads them; memory-backed where
  // there is /dev/shm.
  const char* directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  snprintf(r.path, sizeof r.path, "%s/libc_replay.%d", directory, static_cast<int>(getpid()));
  unsigned long generated = 100000;
  for (int k = 1; k < argc; ++k) {
    if (strcmp(argv[k], "--generate") == 0 && k + 1 < argc) {
      generated = strtoul(argv[++k], nullptr, 10);
    } else {
      replayDirectory(r, argv[k]);
    }
  }
  Generator g;
  unsigned char data[4096];
  char text[128];
  for (unsigned long k = 0; k < generated; ++k) {
    checkArp(r, "a generated table", data, generateTable(g, data, sizeof data));
    generateArgument(g, text, sizeof text);
    checkArgument(r, "a generated argument", text);
  }
  unlink(r.path);
  printf(
      "fgets pieces  %9lu cases\nsscanf split  %9lu cases\nsscanf MAC    %9lu cases\n"
      "inet_addr     %9lu cases\nlookup        %9lu cases\nstrtoul       %9lu cases\n",
      r.ran.pieces, r.ran.splits, r.ran.macs, r.ran.addresses, r.ran.lookups, r.arguments);
  return 0;
}
