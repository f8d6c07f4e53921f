// SPDX-License-Identifier: MIT
// scenario_tool network.
#include <stdio.h>

#include <cstring>

#include "simulator/reader/tool_commands.h"

namespace {

// Prints the network lines, an arp line always as "arp IP MAC DEVICE STATE".
class NetworkLines : public scenario::Listener {
 public:
  void network(unsigned, const scenario::Words& words) override {
    if (std::strcmp(words.word[0], "arp") == 0) {
      const ArpLine arp(words);
      printf("arp %s %s %s %s\n", arp.address, arp.mac, arp.device, arp.state);
      return;
    }
    for (std::size_t k = 0; k < words.count; ++k) printf("%s%s", k > 0 ? " " : "", words.word[k]);
    putchar('\n');
  }
};

}  // namespace

int printNetworkLines(char* text, driver_scenario& driver) {
  NetworkLines lines;
  scenario::read(text, driver, lines);
  return fflush(stdout) == 0 ? 0 : 1;
}
