// SPDX-License-Identifier: MIT
// scenario_tool neighbours: the kernel's settings and ARP table as a scenario states them.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <cstring>

#include "client_check/file_descriptor.h"
#include "simulator/reader/tool_commands.h"

namespace {

// Applies the sysctl lines: NAME with dots for slashes, a slash for a dot
// within a part (as sysctl(8) reads it).
class Settings : public scenario::Listener {
 public:
  void network(unsigned, const scenario::Words& w) override {
    if (std::strcmp(w.word[0], "sysctl") != 0) return;
    char path[256] = "/proc/sys/";
    std::size_t at = std::strlen(path);
    for (const char* p = w.word[1]; *p != '\0' && at + 1 < sizeof path; ++p)
      path[at++] = *p == '.' ? '/' : *p == '/' ? '.' : *p;
    path[at] = '\0';
    char value[128];
    const int n = snprintf(value, sizeof value, "%s\n", w.word[2]);
    const FileDescriptor setting(open(path, O_WRONLY | O_CLOEXEC));
    if (!setting.isOpen() || write(setting.fd(), value, static_cast<std::size_t>(n)) != n) {
      fprintf(stderr, "scenario_tool: cannot set %s: %s\n", w.word[1], strerror(errno));
      ok = false;
    }
  }
  bool ok = true;
};

// Adds ARP entries as the kernel makes them: permanent, reachable and stale
// ones through rtnetlink, a batch of requests at a time, each acknowledged;
// incomplete and failed ones by sending a datagram to the address, so that
// the kernel starts to resolve it, and for a failed one waiting until it
// gives up (for one with a MAC, from a stale entry with that MAC).
class Neighbours : public scenario::Listener {
 public:
  Neighbours() : netlink_(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}

  void network(unsigned, const scenario::Words& w) override {
    if (std::strcmp(w.word[0], "arp") == 0) {
      const ArpLine arp(w);
      unsigned char mac[6] = {};
      unsigned b[6];
      sscanf(arp.mac, "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
      for (int k = 0; k < 6; ++k) mac[k] = static_cast<unsigned char>(b[k]);
      const char* device = arp.device;
      in_addr address{};
      inet_pton(AF_INET, arp.address, &address);
      const bool known = std::memcmp(mac, "\0\0\0\0\0\0", 6) != 0;
      const int state = scenario::entryState(arp.state);
      static const int kAdded[] = {NUD_PERMANENT, NUD_REACHABLE, NUD_STALE};
      if (state >= 0 && state < 3) {
        add(address, mac, device, kAdded[state]);
      } else {  // failed: resolved in vain (from a stale entry when it has a MAC)
        if (state == 3 && known) add(address, mac, device, NUD_STALE);
        resolve(address, device, state == 3);
      }
    } else if (std::strcmp(w.word[0], "arp-fill") == 0) {
      // COUNT permanent entries 10.x.y.z on br0, each with a MAC of its own.
      const unsigned long count = strtoul(w.word[1], nullptr, 10);
      for (std::uint32_t i = 1; i <= count && ok_; ++i) {
        const in_addr address{htonl(0x0A000000u | i)};
        unsigned char mac[6] = {0x02, 0xf1};
        const std::uint32_t word = htonl(i);
        std::memcpy(mac + 2, &word, 4);
        add(address, mac, "br0", NUD_PERMANENT);
      }
    }
  }

  // Sends what is pending and reads its acknowledgements.
  bool finish() {
    if (!netlink_.isOpen()) {
      perror("scenario_tool: netlink");
      return false;
    }
    if (used_ > 0 && send(netlink_.fd(), batch_, used_, 0) != static_cast<ssize_t>(used_)) {
      perror("scenario_tool: netlink send");
      ok_ = false;
    }
    for (std::size_t acked = 0; acked < pending_ && ok_;) {
      char reply[8192];
      const ssize_t n = recv(netlink_.fd(), reply, sizeof reply, 0);
      if (n <= 0) {
        perror("scenario_tool: netlink recv");
        return false;
      }
      int left = static_cast<int>(n);
      // NLMSG_OK compares the unsigned length with the signed rest, which
      // must stay signed: it goes below zero past the last message.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare"
      for (auto* h = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(h, left);
           h = NLMSG_NEXT(h, left)) {
#pragma GCC diagnostic pop
        if (h->nlmsg_type != NLMSG_ERROR) continue;
        ++acked;
        const int error = -static_cast<const nlmsgerr*>(NLMSG_DATA(h))->error;
        if (error != 0) {
          fprintf(stderr, "scenario_tool: an ARP entry was refused: %s\n", strerror(error));
          ok_ = false;
        }
      }
    }
    used_ = pending_ = 0;
    return ok_;
  }

 private:
  // Makes the kernel resolve `address` on `device`: a datagram to it (to
  // the discard port) is queued while the kernel asks for its MAC. When
  // `failed` is set, waits (with the rest) until the kernel gives up.
  void resolve(in_addr address, const char* device, bool failed) {
    if (!finish()) return;
    const FileDescriptor udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    to.sin_addr = address;
    const bool sent =
        udp.isOpen() &&
        setsockopt(udp.fd(), SOL_SOCKET, SO_BINDTODEVICE, device, strlen(device) + 1) == 0 &&
        sendto(udp.fd(), "", 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == 1;
    if (!sent) {
      fprintf(stderr, "scenario_tool: cannot send to %s on %s: %s\n", inet_ntoa(address), device,
              strerror(errno));
      ok_ = false;
    }
    if (failed && awaited_ < kAwaited) {
      awaitedAddress_[awaited_] = address;
      awaitedDevice_[awaited_++] = if_nametoindex(device);
    }
  }

 public:
  // Waits (at most 30 s) until the kernel has given up on each address
  // resolved as failed.
  bool awaitFailed() {
    if (!finish()) return false;
    for (int turn = 0; turn < 300; ++turn) {
      std::size_t done = 0;
      for (std::size_t k = 0; k < awaited_; ++k)
        if (state(awaitedAddress_[k], awaitedDevice_[k]) == NUD_FAILED) ++done;
      if (done == awaited_) return true;
      poll(nullptr, 0, 100);  // a tenth of a second
    }
    fputs("scenario_tool: the kernel did not give up on an address in 30 s\n", stderr);
    return false;
  }

 private:
  // The state of one neighbour entry, asked of rtnetlink; 0 when there is none.
  int state(in_addr address, unsigned index) {
    struct {
      nlmsghdr header;
      ndmsg neighbour;
      rtattr destination;
      in_addr address;
    } request{};
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = RTM_GETNEIGH;
    request.header.nlmsg_flags = NLM_F_REQUEST;
    request.neighbour.ndm_family = AF_INET;
    request.neighbour.ndm_ifindex = static_cast<int>(index);
    request.destination.rta_type = NDA_DST;
    request.destination.rta_len = RTA_LENGTH(sizeof(in_addr));
    request.address = address;
    char reply[1024];
    if (send(netlink_.fd(), &request, sizeof request, 0) != static_cast<ssize_t>(sizeof request))
      return 0;
    const ssize_t n = recv(netlink_.fd(), reply, sizeof reply, 0);
    const auto* h = reinterpret_cast<const nlmsghdr*>(reply);
    if (n < static_cast<ssize_t>(NLMSG_LENGTH(sizeof(ndmsg))) || h->nlmsg_type != RTM_NEWNEIGH)
      return 0;
    return static_cast<const ndmsg*>(NLMSG_DATA(h))->ndm_state;
  }

  void add(in_addr address, const unsigned char* mac, const char* device, int state) {
    const unsigned index = if_nametoindex(device);
    if (index == 0) {
      fprintf(stderr, "scenario_tool: no device %s\n", device);
      ok_ = false;
      return;
    }
    struct Request {
      nlmsghdr header;
      ndmsg neighbour;
      char attributes[64];
    };
    // Each acknowledgement takes about a kilobyte of the socket's receive
    // buffer (some 200 KB): a batch stays well below it.
    if ((pending_ == kBatch || used_ + sizeof(Request) > sizeof batch_) && !finish()) return;
    auto* r = reinterpret_cast<Request*>(batch_ + used_);
    std::memset(r, 0, sizeof *r);
    r->header.nlmsg_type = RTM_NEWNEIGH;
    r->header.nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK | NLM_F_CREATE | NLM_F_REPLACE;
    r->header.nlmsg_seq = static_cast<unsigned>(++pending_);
    r->neighbour.ndm_family = AF_INET;
    r->neighbour.ndm_ifindex = static_cast<int>(index);
    r->neighbour.ndm_state = static_cast<unsigned short>(state);
    std::size_t length = NLMSG_LENGTH(sizeof(ndmsg));
    auto attribute = [&](unsigned short type, const void* data, std::size_t size) {
      auto* a = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(r) + NLMSG_ALIGN(length));
      a->rta_type = type;
      a->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
      std::memcpy(RTA_DATA(a), data, size);
      length = NLMSG_ALIGN(length) + RTA_ALIGN(a->rta_len);
    };
    attribute(NDA_DST, &address, sizeof address);
    attribute(NDA_LLADDR, mac, 6);
    r->header.nlmsg_len = static_cast<unsigned>(length);
    used_ += NLMSG_ALIGN(length);
  }

  static constexpr std::size_t kBatch = 64;
  static constexpr std::size_t kAwaited = 64;
  in_addr awaitedAddress_[kAwaited];
  unsigned awaitedDevice_[kAwaited];
  std::size_t awaited_ = 0;
  const FileDescriptor netlink_;
  bool ok_ = true;
  std::size_t used_ = 0;
  std::size_t pending_ = 0;
  char batch_[32 * 1024];
};

}  // namespace

int applyNeighbours(const char* file, char (&text)[scenario::kMaxText], driver_scenario& driver,
                    scenario::Listener& printer) {
  // The settings first, wherever their lines stand; then the entries.
  Settings settings;
  scenario::read(text, driver, settings);
  if (!settings.ok || !scenario::load(file, text, printer)) return 1;
  Neighbours neighbours;
  scenario::read(text, driver, neighbours);
  return neighbours.finish() && neighbours.awaitFailed() ? 0 : 1;
}
