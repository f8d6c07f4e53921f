// SPDX-License-Identifier: MIT
// The scenario reader as a command for the routers: a dispatch over the
// commands of tool_commands.h; the usage text below says what each does.
// Exit status: 0; 1 when the scenario has a fault or an entry is refused; 2
// on a usage error.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "client_check/radio.h"
#include "simulator/driver/driver_model.h"
#include "simulator/floor/call_floor.h"
#include "simulator/reader/scenario.h"
#include "simulator/reader/tool_commands.h"

namespace {

// Faults, and the notices when `notices` (the check alone tells them: the
// router runs several commands on each scenario).
class Printer : public scenario::Listener {
 public:
  Printer(const char* file, bool notices) : file_(file), notices_(notices) {}
  void fault(unsigned line, const char* message) override { report(line, message); }
  void notice(unsigned line, const char* message) override {
    if (!notices_) return;
    char text[600];
    snprintf(text, sizeof text, "notice: %s", message);
    report(line, text);
  }

 private:
  void report(unsigned line, const char* message) {
    if (line == 0)
      fprintf(stderr, "%s: %s\n", file_, message);
    else
      fprintf(stderr, "%s:%u: %s\n", file_, line, message);
  }
  const char* file_;
  bool notices_;
};

}  // namespace

int printNames() {
  char names[scenario::kAskedInterfaces][kInterfaceNameSize];
  scenario::askedInterfaces(names);
  for (int k = 0; k < scenario::kAskedInterfaces; ++k)
    printf("%s %s", k == 0 ? "secondary" : k == kRadioCount ? "\nprimary" : "", names[k]);
  fputs("\nready", stdout);
  for (const driver_var& var : driver_model_ready_primary) printf(" %s", var.name);
  putchar('\n');
  return fflush(stdout) == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "names") == 0) return printNames();
  if (argc >= 4 && strcmp(argv[1], "hold") == 0) return holdAndExec(argv);
  if (argc >= 4 && strcmp(argv[1], "floor") == 0) return runAtCallFloor(argv);
  const bool exec = argc >= 4 && strcmp(argv[1], "exec") == 0;
  if (!exec &&
      (argc != 3 || (strcmp(argv[1], "check") != 0 && strcmp(argv[1], "network") != 0 &&
                     strcmp(argv[1], "driver") != 0 && strcmp(argv[1], "neighbours") != 0))) {
    fputs(
        "usage: scenario_tool check|network|driver|neighbours FILE\n"
        "       scenario_tool exec FILE COMMAND [ARG...]\n"
        "       scenario_tool names\n"
        "       scenario_tool hold COUNT COMMAND [ARG...]\n"
        "       scenario_tool floor CALLS COMMAND [ARG...]\n"
        "  check       prints each fault and notice as FILE:LINE: ...\n"
        "  network     prints the network lines in the order of the file, one space\n"
        "              between words, an arp line as \"arp IP MAC DEVICE STATE\"\n"
        "  driver      writes the driver record (driver_scenario.h) to standard output\n"
        "  neighbours  applies the sysctl lines, then adds the arp and arp-fill entries\n"
        "              to the kernel's ARP table, each in the state it names\n"
        "  exec        runs COMMAND on the kernel the scenario states (seccomp)\n"
        "  names       prints the radios' secondary and primary interfaces and the\n"
        "              variables a ready primary is asked, for the tables\n"
        "  hold        runs COMMAND holding COUNT more descriptors open across exec,\n"
        "              as a caller with many files open would\n"
        "  floor       runs COMMAND on a kernel with only the system calls the file\n"
        "              CALLS names (one a line): its program gets ENOSYS for others\n"
        "Every command with a FILE checks it first.\n",
        stderr);
    return 2;
  }
  Printer printer(argv[2], strcmp(argv[1], "check") == 0);
  char text[scenario::kMaxText];
  driver_scenario driver;
  if (!scenario::load(argv[2], text, printer)) return 1;
  if (!scenario::read(text, driver, printer)) return 1;
  if (strcmp(argv[1], "check") == 0) return 0;
  if (strcmp(argv[1], "driver") == 0)
    return fwrite(&driver, sizeof driver, 1, stdout) == 1 && fflush(stdout) == 0 ? 0 : 1;
  // The network lines of a valid scenario: read once more, acted on in turn.
  if (!scenario::load(argv[2], text, printer)) return 1;
  if (exec) return runOnStatedKernel(text, driver, argv);
  if (strcmp(argv[1], "network") == 0) return printNetworkLines(text, driver);
  return applyNeighbours(argv[2], text, driver, printer);
}
