// SPDX-License-Identifier: MIT
// Finding a client's MAC address in the kernel's ARP table.
#ifndef CLIENT_CHECK_ARP_LOOKUP_H
#define CLIENT_CHECK_ARP_LOOKUP_H

#include <netinet/in.h>

#include "client_check/mac_address.h"
#include "client_check/piece_reader.h"

// How a lookup ended, for a caller that explains it (client_check-explain);
// the tool passes none.
struct ArpLookupReport {
  enum Outcome { kNoTable, kNoHeader, kShortLine, kNoLine, kFound };
  Outcome outcome = kNoTable;
  int error = 0;      // kNoTable: why the table could not be opened (errno)
  unsigned line = 0;  // the line of kShortLine or kFound (the header is 1); kNoLine: lines read
  char text[PieceReader::kMaxPiece + 1] = {};  // that line, as read (a piece of a longer one)
};

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
int arpLookupMac(in_addr_t address, MacAddress& mac, ArpLookupReport* report = nullptr);

// The same scan over an open table, read from its current position (the
// header line).
int arpScanTable(int fd, in_addr_t address, MacAddress& mac, ArpLookupReport* report = nullptr);

// The address text of the first line, read as the lookup reads them, whose
// hardware address is `mac`, into `address`: 0, or -1 when none has it
// before the end or a line the lookup would stop at.
int arpAddressOf(const MacAddress& mac, char (&address)[PieceReader::kMaxPiece + 1]);

#endif  // CLIENT_CHECK_ARP_LOOKUP_H
