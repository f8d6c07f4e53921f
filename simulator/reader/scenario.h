// SPDX-License-Identifier: MIT
// Reading a scenario, for every part of the test world, so that a scenario
// means the same to all of them. No heap. A scenario is lines of words; '#'
// starts a comment; lines may end in CRLF. docs/scenario-files.md
// describes the language.
#ifndef SIMULATOR_SCENARIO_H
#define SIMULATOR_SCENARIO_H

#include <cstddef>
#include <cstdint>

#include "client_check/radio.h"
#include "simulator/driver/driver_scenario.h"

namespace scenario {

constexpr std::size_t kMaxText = 64 * 1024;
constexpr std::size_t kMaxWords = 1030;  // a keyword and up to 1024 MACs, with room

// A word of a line: a slice of the text, terminated in place.
struct Words {
  const char* word[kMaxWords];
  std::size_t count = 0;
};

// What the reader reports. Lines are numbered from 1.
class Listener {
 public:
  // A fault: the scenario is not valid. (Not pure virtual: the programs
  // are linked without the C++ runtime.)
  virtual void fault(unsigned line, const char* message) { (void)line, (void)message; }
  // Something the tool never asks about: likely a slip, not an error.
  virtual void notice(unsigned line, const char* message) { (void)line, (void)message; }
  // A valid line of the network part (bridge, arp, arp-fill, client,
  // sysctl, kernel) or an interface line, in the order of the file.
  virtual void network(unsigned line, const Words& words) { (void)line, (void)words; }

 protected:
  ~Listener() = default;
};

// Reads the scenario file at `path` into `text` (terminated). False, with a
// fault reported at line 0, when it cannot be read or is too large.
bool load(const char* path, char (&text)[kMaxText], Listener& listener);

// Checks every line of `text` (modified in place: comments and separators
// are cut) and fills `driver` with its driver part. Reports every fault and
// notice; true when there was no fault. `driver` is filled as far as the
// valid lines go either way.
bool read(char* text, driver_scenario& driver, Listener& listener);

// The interfaces the tool asks about, in the order it asks them of a
// driver that answers nothing: each radio's secondary, then each primary.
constexpr int kAskedInterfaces = 2 * kRadioCount;
void askedInterfaces(char (&names)[kAskedInterfaces][kInterfaceNameSize]);

// An arp line's entry state: 0 permanent, 1 reachable, 2 stale, 3 failed,
// 4 incomplete; -1 for any other word.
int entryState(const char* word);

// The system call number of a call a "kernel without CALL" line names; -1
// for a call the scenario cannot take away.
long missingCall(const char* word);

// The errno a name from simulator/driver/errno_names.h or a number stands for; 0
// when it is neither.
int errnoValue(const char* word);

}  // namespace scenario

#endif  // SIMULATOR_SCENARIO_H
