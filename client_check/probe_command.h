// SPDX-License-Identifier: MIT
// The one-shot ARP probe the tool starts for a client the ARP table lacks.
#ifndef CLIENT_CHECK_PROBE_COMMAND_H
#define CLIENT_CHECK_PROBE_COMMAND_H

#include <arpa/inet.h>
#include <netinet/in.h>

#include <stdio.h>

// The shell command for `address` (network byte order): the probe goes to
// its dotted text on the bridge, in the background.
constexpr unsigned kProbeCommandSize = 100;
inline void probeCommand(char (&command)[kProbeCommandSize], in_addr_t address) {
  in_addr dotted{};
  dotted.s_addr = address;
  snprintf(command, sizeof command, "arping -q -I br0 -c 1 %s &", inet_ntoa(dotted));
}

#endif  // CLIENT_CHECK_PROBE_COMMAND_H
