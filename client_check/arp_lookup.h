// Finding a client's MAC address in the kernel's ARP table.
#ifndef CLIENT_CHECK_ARP_LOOKUP_H
#define CLIENT_CHECK_ARP_LOOKUP_H

#include <netinet/in.h>

#include <cstdio>

#include "client_check/mac_address.h"

// Looks `address` (network byte order) up in /proc/net/arp. Returns 0 with
// `mac` filled when a line carries the address, -1 otherwise: the table
// cannot be opened, it has no header, a line with fewer than four fields
// stands before the address, or no line carries it. `mac` must be zeroed by
// the caller; bytes that the hardware-address field does not reach stay zero.
int arpLookupMac(in_addr_t address, MacAddress& mac);

// The same scan over an already open table, positioned at its header line.
int arpScanTable(std::FILE* table, in_addr_t address, MacAddress& mac);

#endif  // CLIENT_CHECK_ARP_LOOKUP_H
