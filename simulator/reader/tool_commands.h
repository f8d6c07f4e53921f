// SPDX-License-Identifier: MIT
// The scenario_tool commands, each in a file of its own: those that act on a
// valid scenario (its text as scenario::load left it, each command reading
// it once more), and those that run a command.
#ifndef SIMULATOR_READER_TOOL_COMMANDS_H
#define SIMULATOR_READER_TOOL_COMMANDS_H

#include <cstring>

#include "simulator/reader/scenario.h"

// An arp line of a valid scenario, with its defaults: the device br0, the
// state reachable, the MAC of an incomplete entry all zero.
struct ArpLine {
  const char* address;
  const char* mac = "00:00:00:00:00:00";
  const char* device = "br0";
  const char* state = "reachable";
  explicit ArpLine(const scenario::Words& w) : address(w.word[1]) {
    if (std::strcmp(w.word[2], "incomplete") == 0)
      state = "incomplete";
    else
      mac = w.word[2];
    for (std::size_t k = 3; k < w.count; ++k)
      (scenario::entryState(w.word[k]) >= 0 ? state : device) = w.word[k];
  }
};

// network: the network lines in the order of the file (network_lines.cpp).
int printNetworkLines(char* text, driver_scenario& driver);

// neighbours: the sysctl lines, then the ARP entries (neighbours.cpp).
int applyNeighbours(const char* file, char (&text)[scenario::kMaxText], driver_scenario& driver,
                    scenario::Listener& printer);

// exec: COMMAND on the kernel the scenario states (kernel_lines.cpp).
int runOnStatedKernel(char* text, driver_scenario& driver, char** argv);

// The COMMAND of `scenario_tool WORD WORD COMMAND [ARG...]`, run; 127 when
// it cannot be (kernel_lines.cpp).
int execCommand(char** argv);

// hold: COMMAND with COUNT more descriptors open (hold.cpp).
int holdAndExec(char** argv);

#endif  // SIMULATOR_READER_TOOL_COMMANDS_H
