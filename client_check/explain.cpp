// SPDX-License-Identifier: MIT
#include "client_check/explain.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstring>

#include "client_check/arp_lookup.h"
#include "client_check/client_check.h"
#include "client_check/explain_report.h"
#include "client_check/probe_command.h"
#include "client_check/radio.h"
#include "wlan/wlan.h"

namespace {

#define MAC_BYTES(m) (m)[0], (m)[1], (m)[2], (m)[3], (m)[4], (m)[5]

// How one radio's examination ended.
struct RadioAccount {
  bool ready = false;
  bool absent = false;       // an interface of it is missing: nothing to ask
  bool noSecondary = false;  // its secondary interface is missing
  bool couldNotAsk = false;  // excluded by a failed request, its interface there
};

// Text from the table, made safe to print: anything but printable ASCII
// becomes '?', and the trailing newline goes.
void makePrintable(char* text) {
  for (; *text != '\0'; ++text) {
    if (*text == '\n' && text[1] == '\0')
      *text = '\0';
    else if (*text < ' ' || *text > '~')
      *text = '?';
  }
}

const char* what(const WlanRequestRecord& r, char (&buffer)[48]) {
  switch (r.command) {
    case wlan::kCmdGetMagic:
      return "identity (command 0)";
    case wlan::kCmdGetVersion:
      return "interface version (command 1)";
    case wlan::kCmdGetAssocList:
      return "association list (command 159)";
    case wlan::kCmdGetVar:
      snprintf(buffer, sizeof buffer, "variable \"%s\" (command 262)", r.varname);
      return buffer;
    default:
      snprintf(buffer, sizeof buffer, "command %d", r.command);
      return buffer;
  }
}

// One line for each request of `trace`: what was asked and what came back.
void sayRequests(const WlanTrace& trace) {
  const int kept = trace.count < WlanTrace::kCapacity ? trace.count : WlanTrace::kCapacity;
  for (int k = 0; k < kept; ++k) {
    const WlanRequestRecord& r = trace.requests[k];
    char name[48];
    const char* asked = what(r, name);
    if (r.noSocket) {
      say("  %s: %s: no socket could be opened: %s", r.ifname, asked, strerror(r.error));
    } else if (r.result < 0) {
      say("  %s: %s: failed: %s%s", r.ifname, asked, strerror(r.error),
          r.command == wlan::kCmdGetMagic ? " (the tool prints nothing for this request)" : "");
    } else if (r.command == wlan::kCmdGetMagic) {
      say("  %s: %s: 0x%08x, %s", r.ifname, asked, r.word,
          r.word == wlan::kDriverMagic ? "the driver's magic" : "not the driver's magic");
    } else if (r.command == wlan::kCmdGetVersion) {
      say("  %s: %s: %u, %s", r.ifname, asked, r.word,
          r.word == 1 || r.word == 2 ? "accepted" : "not accepted (1 or 2 is)");
    } else if (r.command == wlan::kCmdGetVar) {
      say("  %s: %s: %d", r.ifname, asked, static_cast<int>(r.word));
    } else {
      say("  %s: %s: count %u", r.ifname, asked, r.word);
    }
  }
}

// Notes in `account` a radio excluded by the last request of `trace`
// failing, and says so; false when that request did not fail.
bool excludedByFailure(int radio, const WlanTrace& trace, RadioAccount& account) {
  const int last = (trace.count < WlanTrace::kCapacity ? trace.count : WlanTrace::kCapacity) - 1;
  if (last < 0 || trace.requests[last].result >= 0) return false;
  const WlanRequestRecord& r = trace.requests[last];
  char name[48];
  account.absent = !r.noSocket && r.error == ENODEV;
  account.noSecondary = account.absent && r.command == wlan::kCmdGetMagic;
  account.couldNotAsk = !account.absent;
  if (account.absent)
    say("radio %d: not examined further: %s does not exist (%s)", radio, r.ifname,
        strerror(r.error));
  else
    say("radio %d: COULD NOT BE ASKED: its %s on %s failed (%s)", radio, what(r, name), r.ifname,
        strerror(r.error));
  return true;
}

// The record of the last request for variable `name` in `trace`, if any.
const WlanRequestRecord* variableRecord(const WlanTrace& trace, int kept, const char* name) {
  const WlanRequestRecord* found = nullptr;
  for (int k = 0; k < kept; ++k) {
    const WlanRequestRecord& r = trace.requests[k];
    if (r.command == wlan::kCmdGetVar && std::strcmp(r.varname, name) == 0) found = &r;
  }
  return found;
}

// Says which rule decided the readiness of a radio that `trace` examined.
void sayReadiness(int radio, const WlanTrace& trace, RadioAccount& account) {
  if (excludedByFailure(radio, trace, account)) return;
  const int kept = trace.count < WlanTrace::kCapacity ? trace.count : WlanTrace::kCapacity;
  const WlanRequestRecord* psta = variableRecord(trace, kept, "psta");
  const WlanRequestRecord* wet = variableRecord(trace, kept, "wet_tunnel");
  const bool variablesRead =
      psta != nullptr && psta->result >= 0 && wet != nullptr && wet->result >= 0;
  if (account.ready) {
    say("radio %d: ready: the driver's interface, \"bss\" set, %s", radio,
        variablesRead ? "\"psta\" and \"wet_tunnel\" clear"
                      : "a failed \"psta\" or \"wet_tunnel\" read excludes nothing");
    return;
  }
  if (variablesRead && (psta->word != 0 || wet->word != 0)) {
    const WlanRequestRecord& set = psta->word != 0 ? *psta : *wet;
    say("radio %d: not ready: \"%s\" reads %d (the radio is bridged as a client)", radio,
        set.varname, static_cast<int>(set.word));
    return;
  }
  const int last = trace.requests[kept > 0 ? kept - 1 : 0].command;
  if (kept == 0)
    say("radio %d: not ready: no request was made", radio);
  else if (last == wlan::kCmdGetMagic)
    say("radio %d: not ready: %s does not belong to the driver", radio, trace.requests[0].ifname);
  else if (last == wlan::kCmdGetVersion)
    say("radio %d: not ready: the driver's interface version is not 1 or 2", radio);
  else
    say("radio %d: not ready: \"bss\" reads 0 (its network is down)", radio);
}

// The readiness test of the tool, told.
RadioAccount examineReadiness(int radio) {
  char secondary[kInterfaceNameSize], primary[kInterfaceNameSize];
  secondaryName(secondary, radio);
  primaryName(primary, radio);
  say("radio %d: secondary interface %s, primary %s", radio, secondary, primary);
  WlanTrace trace;
  RadioAccount account;
  account.ready = radioReady(radio, &trace) != 0;
  sayRequests(trace);
  sayReadiness(radio, trace, account);
  return account;
}

// The association list of a ready radio, told; false when it cannot be read.
bool examineList(int radio, AssocList& list, RadioAccount& account) {
  if (!account.ready) return false;
  WlanTrace trace;
  const int failed = radioAssocList(radio, list, &trace);
  sayRequests(trace);
  if (failed != 0) {
    account.ready = false;
    if (!excludedByFailure(radio, trace, account)) {
      account.couldNotAsk = true;
      say("radio %d: COULD NOT BE ASKED: its association list could not be read", radio);
    }
    return false;
  }
  std::uint32_t claimed;
  std::memcpy(&claimed, list.data(), sizeof claimed);
  if (claimed != assocListEntries(list))
    say("  the count %u claims more entries than a reply holds: %u read", claimed,
        assocListEntries(list));
  return true;
}

// Says the closing status for a run that would answer 0; returns it.
int noClientStatus(const RadioAccount (&radios)[kRadioCount], const char* zero) {
  bool anySecondary = false;
  for (const RadioAccount& radio : radios) {
    if (!radio.noSecondary) anySecondary = true;
  }
  for (int radio = 0; radio < kRadioCount; ++radio) {
    if (!radios[radio].couldNotAsk) continue;
    say("status 3: the tool answers 0, but radio %d could not be asked: do not count on that 0",
        radio);
    return kStatusCouldNotAsk;
  }
  if (!anySecondary) {
    say("status 3: the tool answers 0, but no radio's secondary interface exists: "
        "no driver answered");
    return kStatusCouldNotAsk;
  }
  say("status 0: %s", zero);
  return 0;
}

void sayTableTrouble(const ArpLookupReport& report, const char* dotted) {
  char text[sizeof report.text];
  std::memcpy(text, report.text, sizeof text);
  makePrintable(text);
  switch (report.outcome) {
    case ArpLookupReport::kNoTable:
      say("ARP table /proc/net/arp: cannot be opened: %s", strerror(report.error));
      break;
    case ArpLookupReport::kNoHeader:
      say("ARP table /proc/net/arp: empty, not even its header line");
      break;
    case ArpLookupReport::kShortLine:
      say("ARP table /proc/net/arp: line %u ends the scan (fewer than four fields): \"%s\"",
          report.line, text);
      break;
    default:
      say("ARP table /proc/net/arp: no line for %s", dotted);
      break;
  }
}

// The line that matched, field by field as the kernel writes them.
void sayTableLine(const ArpLookupReport& report, const MacAddress& mac) {
  char text[sizeof report.text];
  std::memcpy(text, report.text, sizeof text);
  makePrintable(text);
  const char* fields[6] = {"?", "?", "?", "?", "?", "?"};
  char* at = text;
  for (const char*& field : fields) {
    while (*at == ' ' || *at == '\t') ++at;
    if (*at == '\0') break;
    field = at;
    while (*at != '\0' && *at != ' ' && *at != '\t') ++at;
    if (*at != '\0') *at++ = '\0';
  }
  say("ARP table /proc/net/arp: line %u: address %s, flags %s, hardware address %s, device %s",
      report.line, fields[0], fields[2], fields[3], fields[5]);
  const MacAddress none{};
  say("client MAC %02x:%02x:%02x:%02x:%02x:%02x%s", MAC_BYTES(mac),
      mac == none ? " (an entry without a MAC still counts as found)" : "");
}

}  // namespace

int explainClient(in_addr_t address) {
  in_addr dotted{};
  dotted.s_addr = address;
  char dottedText[16];
  snprintf(dottedText, sizeof dottedText, "%s", inet_ntoa(dotted));
  say("client %s (address word %u)", dottedText, static_cast<unsigned>(address));

  MacAddress mac{};
  ArpLookupReport report;
  if (arpLookupMac(address, mac, &report) != 0) {
    sayTableTrouble(report, dottedText);
    char command[kProbeCommandSize] = {};
    probeCommand(command, address);
    say("probe: the tool starts \"%s\" (this account starts none)", command);
    say("status 255: not in the ARP table: ask again once the client has answered the probe");
    return kVerdictNotInArpTable;
  }
  sayTableLine(report, mac);

  RadioAccount radios[kRadioCount];
  for (int radio = 0; radio < kRadioCount; ++radio) {
    AssocList list;
    radios[radio] = examineReadiness(radio);
    if (!examineList(radio, list, radios[radio])) continue;
    const int position = assocListPosition(list, mac);
    if (position < 0) {
      say("radio %d: the client is not among its %u stations", radio, assocListEntries(list));
      continue;
    }
    say("radio %d: the client is station %d of %u", radio, position + 1, assocListEntries(list));
    if (radio + 1 < kRadioCount) say("radio %d: not examined: radio %d answered", radio + 1, radio);
    say("status 1: %s is on radio %d's secondary interface", dottedText, radio);
    return kVerdictAssociated;
  }
  return noClientStatus(radios, "the client is on no ready radio's secondary interface");
}

int explainStations() {
  RadioAccount radios[kRadioCount];
  for (int radio = 0; radio < kRadioCount; ++radio) {
    AssocList list;
    radios[radio] = examineReadiness(radio);
    if (!examineList(radio, list, radios[radio])) continue;
    const std::uint32_t stations = assocListEntries(list);
    say("radio %d: %u stations", radio, stations);
    for (std::uint32_t k = 0; k < stations; ++k) {
      const MacAddress station = assocListEntry(list, k);
      char address[PieceReader::kMaxPiece + 1];
      const bool known = arpAddressOf(station, address) == 0;
      if (known) makePrintable(address);
      say("  station %u: %02x:%02x:%02x:%02x:%02x:%02x %s", k + 1, MAC_BYTES(station),
          known ? address : "(not in the ARP table)");
    }
  }
  return noClientStatus(radios, "every radio that exists was asked");
}
