// SPDX-License-Identifier: MIT
// client_check-explain [ADDRESS_WORD]
//
// Says why client_check answers what it answers for a client, or with no
// argument who is on the radios' secondary interfaces. See explain.h.
#include <stdio.h>
#include <string.h>

#include "client_check/address_word.h"
#include "client_check/caller_plumbing.h"
#include "client_check/client_check.h"
#include "client_check/explain.h"
#include "client_check/explain_report.h"

namespace {

constexpr char kUsage[] = "usage: client_check-explain [--version] [ADDRESS_WORD]";

}  // namespace

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  ignoreBrokenPipes();
  if (argc == 1) return explainStations();
  if (argc != 2) {
    fprintf(stderr, "%s\n", kUsage);
    say("status 254: not one argument (nothing was asked)");
    return kVerdictBadArgument;
  }
  if (strcmp(argv[1], "--version") == 0) {
    say("client_check-explain %s", CLIENT_CHECK_VERSION);
    return 0;
  }
  if (strcmp(argv[1], "--help") == 0) {
    say("%s", kUsage);
    return 0;
  }
  // Read as the tool reads it.
  const in_addr_t address = readAddressWord(argv[1]);
  if (address == 0) {
    say("the argument reads as address word 0 (empty, no digit, or 0): the tool does nothing");
    say("status 254: not an address");
    return kVerdictBadArgument;
  }
  return explainClient(address);
}
