// SPDX-License-Identifier: MIT
// Finding a client's MAC address in the kernel's ARP table.
#ifndef CLIENT_CHECK_ARP_LOOKUP_H
#define CLIENT_CHECK_ARP_LOOKUP_H

#include <netinet/in.h>

#include "client_check/mac_address.h"

// Looks `address` (network byte order) up in /proc/net/arp. Returns 0 with
// `mac` filled when a line carries the address, -1 otherwise: the table
// cannot be opened, it has no header, a line with fewer than four fields
// stands before the address, or no line carries it. `mac` must be zeroed by
// the caller; bytes that the hardware-address field does not reach stay zero.
//
// The table is read as fgets() into a 200-byte buffer would read it (a line
// longer than 199 characters arrives in pieces, each split as a line of its
// own), and each piece is split as sscanf() with the pattern
// "%s 0x%x 0x%x %100s %100s %100s\n" splits it, the address field bounded
// at 199 characters.
int arpLookupMac(in_addr_t address, MacAddress& mac);

// The same scan over an open table, read from its current position (the
// header line).
int arpScanTable(int fd, in_addr_t address, MacAddress& mac);

#endif  // CLIENT_CHECK_ARP_LOOKUP_H
