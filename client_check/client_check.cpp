// SPDX-License-Identifier: MIT
#include "client_check/client_check.h"

#include <stdio.h>
#include <stdlib.h>

#include "client_check/address_word.h"
#include "client_check/arp_lookup.h"
#include "client_check/caller_plumbing.h"
#include "client_check/probe_command.h"
#include "client_check/radio.h"

namespace {

// Starts a one-shot ARP probe in the background so that a later run can find
// the client. Neither waited for nor checked. The shell and the probe get
// none of the caller's descriptors: a caller reading the tool's output
// through a pipe gets its end-of-file when the tool exits, not when the
// probe does, and nothing they print reaches the caller.
void startProbe(in_addr_t address) {
  char command[kProbeCommandSize] = {};
  probeCommand(command, address);
  const DetachedStdio detached;
  if (system(command) != 0) {
    // The probe's outcome does not change the verdict.
  }
}

}  // namespace

int clientCheck(int argc, char** argv) {
  if (argc != 2) {
    fputs("usage: client_check ADDRESS_WORD\n", stderr);
    return kVerdictBadArgument;
  }
  const in_addr_t address = readAddressWord(argv[1]);
  if (address == 0) return kVerdictBadArgument;

  MacAddress mac{};
  if (arpLookupMac(address, mac) != 0) {
    startProbe(address);
    return kVerdictNotInArpTable;
  }

  for (int radio = 0; radio < kRadioCount; ++radio) {
    if (radioReady(radio) != 0 && radioHasClient(radio, mac) == 1) return kVerdictAssociated;
  }
  return kVerdictNotAssociated;
}
