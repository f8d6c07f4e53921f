// SPDX-License-Identifier: MIT
// client_check ADDRESS_WORD
//
// Answers, by exit status alone, whether a LAN client is associated with the
// secondary wireless interface of a ready radio. See client_check.h.
#include "client_check/caller_plumbing.h"
#include "client_check/client_check.h"

// What `strings client_check` shows of the release; no code reads it.
extern "C" [[gnu::used]] const char client_check_version[] = "client_check " CLIENT_CHECK_VERSION;

int main(int argc, char** argv) {
  openClosedStandardDescriptors();
  ignoreBrokenPipes();
  return clientCheck(argc, argv);
}
