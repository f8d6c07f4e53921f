// SPDX-License-Identifier: MIT
// scenario_tool check|network|driver|neighbours FILE
//
// The scenario reader as a command, for the routers:
//   check       prints each fault and notice as FILE:LINE: ...; exit 1 on a fault
//   network     checks, then prints the network lines (bridge, client, arp,
//               arp-fill) in the order of the file, words separated by one space
//   driver      checks, then writes the driver record (simulator/driver_scenario.h)
//               to standard output, as the kernel driver stand-in is loaded with
//   neighbours  checks, then puts the arp and arp-fill entries into the
//               kernel's ARP table through rtnetlink (where no ip(8) can:
//               incomplete entries, many thousands at once)
// Exit status: 0, 1 when the scenario has a fault or an entry is refused,
// 2 on a usage error.
#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <cstring>

#include "simulator/scenario.h"

namespace {

class Printer : public scenario::Listener {
 public:
  explicit Printer(const char* file) : file_(file) {}
  void fault(unsigned line, const char* message) override { report(line, message); }
  void notice(unsigned line, const char* message) override {
    char text[300];
    snprintf(text, sizeof text, "notice: %s", message);
    report(line, text);
  }

 private:
  void report(unsigned line, const char* message) {
    if (line == 0)
      fprintf(stderr, "%s: %s\n", file_, message);
    else
      fprintf(stderr, "%s:%u: %s\n", file_, line, message);
  }
  const char* file_;
};

// Prints the network lines of a scenario already checked.
class NetworkLines : public scenario::Listener {
 public:
  void network(unsigned, const scenario::Words& words) override {
    for (std::size_t k = 0; k < words.count; ++k) printf("%s%s", k > 0 ? " " : "", words.word[k]);
    putchar('\n');
  }
};

// Adds ARP entries through rtnetlink, a batch of requests at a time, each
// acknowledged.
class Neighbours : public scenario::Listener {
 public:
  Neighbours() : fd_(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}
  ~Neighbours() {
    if (fd_ >= 0) close(fd_);
  }
  Neighbours(const Neighbours&) = delete;
  Neighbours& operator=(const Neighbours&) = delete;

  void network(unsigned, const scenario::Words& w) override {
    if (std::strcmp(w.word[0], "arp") == 0) {
      unsigned char mac[6] = {};
      const bool incomplete = std::strcmp(w.word[2], "incomplete") == 0;
      if (!incomplete) {
        unsigned b[6];
        sscanf(w.word[2], "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
        for (int k = 0; k < 6; ++k) mac[k] = static_cast<unsigned char>(b[k]);
      }
      in_addr address{};
      inet_pton(AF_INET, w.word[1], &address);
      add(address, incomplete ? nullptr : mac, w.count > 3 ? w.word[3] : "br0");
    } else if (std::strcmp(w.word[0], "arp-fill") == 0) {
      // COUNT permanent entries 10.x.y.z on br0, as the namespace router makes them.
      const unsigned long count = strtoul(w.word[1], nullptr, 10);
      for (unsigned long i = 1; i <= count && ok_; ++i) {
        const unsigned char octets[4] = {10, static_cast<unsigned char>(i >> 16),
                                         static_cast<unsigned char>(i >> 8),
                                         static_cast<unsigned char>(i)};
        const unsigned char mac[6] = {0x02,
                                      0xf1,
                                      static_cast<unsigned char>(i >> 24),
                                      static_cast<unsigned char>(i >> 16),
                                      static_cast<unsigned char>(i >> 8),
                                      static_cast<unsigned char>(i)};
        in_addr address{};
        std::memcpy(&address, octets, 4);
        add(address, mac, "br0");
      }
    }
  }

  // Sends what is pending and reads its acknowledgements.
  bool finish() {
    if (fd_ < 0) {
      perror("scenario_tool: netlink");
      return false;
    }
    if (used_ > 0 && send(fd_, batch_, used_, 0) != static_cast<ssize_t>(used_)) {
      perror("scenario_tool: netlink send");
      ok_ = false;
    }
    for (std::size_t acked = 0; acked < pending_ && ok_;) {
      char reply[8192];
      const ssize_t n = recv(fd_, reply, sizeof reply, 0);
      if (n <= 0) {
        perror("scenario_tool: netlink recv");
        return false;
      }
      int left = static_cast<int>(n);
      for (auto* h = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(h, left);
           h = NLMSG_NEXT(h, left)) {
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
  void add(in_addr address, const unsigned char* mac, const char* device) {
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
    r->neighbour.ndm_state = mac != nullptr ? NUD_PERMANENT : NUD_INCOMPLETE;
    std::size_t length = NLMSG_LENGTH(sizeof(ndmsg));
    auto attribute = [&](unsigned short type, const void* data, std::size_t size) {
      auto* a = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(r) + NLMSG_ALIGN(length));
      a->rta_type = type;
      a->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
      std::memcpy(RTA_DATA(a), data, size);
      length = NLMSG_ALIGN(length) + RTA_ALIGN(a->rta_len);
    };
    attribute(NDA_DST, &address, sizeof address);
    if (mac != nullptr) attribute(NDA_LLADDR, mac, 6);
    r->header.nlmsg_len = static_cast<unsigned>(length);
    used_ += NLMSG_ALIGN(length);
  }

  static constexpr std::size_t kBatch = 64;
  int fd_;
  bool ok_ = true;
  std::size_t used_ = 0;
  std::size_t pending_ = 0;
  char batch_[32 * 1024];
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (strcmp(argv[1], "check") != 0 && strcmp(argv[1], "network") != 0 &&
                    strcmp(argv[1], "driver") != 0 && strcmp(argv[1], "neighbours") != 0)) {
    fputs("usage: scenario_tool check|network|driver|neighbours FILE\n", stderr);
    return 2;
  }
  Printer printer(argv[2]);
  char text[scenario::kMaxText];
  driver_scenario driver;
  if (!scenario::load(argv[2], text, printer)) return 1;
  if (!scenario::read(text, driver, printer)) return 1;
  if (strcmp(argv[1], "check") == 0) return 0;
  if (strcmp(argv[1], "driver") == 0)
    return fwrite(&driver, sizeof driver, 1, stdout) == 1 && fflush(stdout) == 0 ? 0 : 1;
  // The network lines of a valid scenario: read once more, acted on in turn.
  if (!scenario::load(argv[2], text, printer)) return 1;
  if (strcmp(argv[1], "network") == 0) {
    NetworkLines lines;
    scenario::read(text, driver, lines);
    return fflush(stdout) == 0 ? 0 : 1;
  }
  if (strcmp(argv[1], "neighbours") == 0) {
    Neighbours neighbours;
    scenario::read(text, driver, neighbours);
    return neighbours.finish() ? 0 : 1;
  }
  return 2;
}
