// SPDX-License-Identifier: MIT
// scenario_tool check|network|driver FILE
//
// The scenario reader as a command, for the routers:
//   check    prints each fault and notice as FILE:LINE: ...; exit 1 on a fault
//   network  checks, then prints the network lines (bridge, client, arp,
//            arp-fill) in the order of the file, words separated by one space
//   driver   checks, then writes the driver record (simulator/driver_scenario.h)
//            to standard output, as the kernel driver stand-in is loaded with
// Exit status: 0, 1 when the scenario has a fault, 2 on a usage error.
#include <unistd.h>

#include <stdio.h>
#include <string.h>

#include "simulator/scenario.h"

namespace {

class Printer : public scenario::Listener {
 public:
  Printer(const char* file, bool network) : file_(file), network_(network), count_(0) {}
  void fault(unsigned line, const char* message) override { report(line, message); }
  void notice(unsigned line, const char* message) override {
    char text[300];
    snprintf(text, sizeof text, "notice: %s", message);
    report(line, text);
  }
  void network(unsigned, const scenario::Words& words) override {
    if (!network_ || count_ == sizeof lines_ / sizeof lines_[0]) return;
    // Kept until the whole file is known to be valid.
    char* line = lines_[count_++];
    std::size_t used = 0;
    for (std::size_t k = 0; k < words.count && used < sizeof lines_[0] - 1; ++k)
      used += static_cast<std::size_t>(
          snprintf(line + used, sizeof lines_[0] - used, "%s%s", k > 0 ? " " : "", words.word[k]));
  }
  void printNetwork() const {
    for (std::size_t k = 0; k < count_; ++k) puts(lines_[k]);
  }

 private:
  void report(unsigned line, const char* message) {
    if (line == 0)
      fprintf(stderr, "%s: %s\n", file_, message);
    else
      fprintf(stderr, "%s:%u: %s\n", file_, line, message);
  }
  const char* file_;
  bool network_;
  std::size_t count_;
  char lines_[4096][160];
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (strcmp(argv[1], "check") != 0 && strcmp(argv[1], "network") != 0 &&
                    strcmp(argv[1], "driver") != 0)) {
    fputs("usage: scenario_tool check|network|driver FILE\n", stderr);
    return 2;
  }
  const bool network = strcmp(argv[1], "network") == 0;
  // About 0.8 MB in all: well within a program's stack.
  Printer printer(argv[2], network);
  char text[scenario::kMaxText];
  driver_scenario driver;
  if (!scenario::load(argv[2], text, printer)) return 1;
  if (!scenario::read(text, driver, printer)) return 1;
  if (network) printer.printNetwork();
  if (strcmp(argv[1], "driver") == 0 && fwrite(&driver, sizeof driver, 1, stdout) != 1) return 1;
  return fflush(stdout) == 0 ? 0 : 1;
}
