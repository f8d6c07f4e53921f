// SPDX-License-Identifier: MIT
// The whole run, from the command line to the verdict.
#ifndef CLIENT_CHECK_CLIENT_CHECK_H
#define CLIENT_CHECK_CLIENT_CHECK_H

// Verdicts; the process exit status is the low eight bits.
enum Verdict : int {
  kVerdictAssociated = 1,      // on the secondary interface of a ready radio
  kVerdictNotAssociated = 0,   // in the ARP table, on no ready radio
  kVerdictNotInArpTable = -1,  // exit 255: a probe has been started
  kVerdictBadArgument = -2,    // exit 254: the argument reads 0, or not one argument
};

// Runs the check for `argv[1]`, the client's address word in decimal.
int clientCheck(int argc, char** argv);

#endif  // CLIENT_CHECK_CLIENT_CHECK_H
