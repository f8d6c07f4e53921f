// SPDX-License-Identifier: MIT
// client_check-explain: the account behind the tool's verdict, made with the
// tool's own ARP reading and driver requests, in the tool's order.
#ifndef CLIENT_CHECK_EXPLAIN_H
#define CLIENT_CHECK_EXPLAIN_H

#include <netinet/in.h>

// The companion's one status beyond the tool's verdicts: the tool would
// answer 0, but a radio could not be asked (a request failed for another
// reason than a missing interface, or no socket could be opened), or no
// radio's secondary interface exists at all.
constexpr int kStatusCouldNotAsk = 3;

// Tells on standard output how the tool decides for `address` (network byte
// order, not 0) and returns its verdict (1, 0 or -1), or kStatusCouldNotAsk
// where it would answer 0 without having asked every radio. Starts no probe.
int explainClient(in_addr_t address);

// Tells each radio's readiness and the stations of each ready radio's
// secondary interface, with their addresses from the ARP table: 0, or
// kStatusCouldNotAsk as above.
int explainStations();

#endif  // CLIENT_CHECK_EXPLAIN_H
