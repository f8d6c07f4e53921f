// SPDX-License-Identifier: MIT
// scenario_tool exec: a command on the kernel the scenario states, the
// calls it lacks answered ENOSYS by a seccomp filter.
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <errno.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <cstring>

#include "simulator/reader/tool_commands.h"

namespace {

// Collects what the scenario says of the kernel.
class KernelLines : public scenario::Listener {
 public:
  void network(unsigned, const scenario::Words& w) override {
    if (std::strcmp(w.word[0], "kernel") == 0 && count_ < kMax)
      missing_[count_++] = scenario::missingCall(w.word[2]);
  }
  // Installs a filter answering each missing call ENOSYS; true when there
  // is nothing to filter or the filter is in place.
  bool apply() const {
    if (count_ == 0) return true;
    sock_filter program[2 * kMax + 2];
    std::size_t n = 0;
    program[n++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr));
    for (std::size_t k = 0; k < count_; ++k) {
      program[n++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(missing_[k]), 0, 1);
      program[n++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSYS & SECCOMP_RET_DATA));
    }
    program[n++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    const sock_fprog filter = {static_cast<unsigned short>(n), program};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter, 0, 0) == 0;
  }

 private:
  static constexpr std::size_t kMax = 4;
  long missing_[kMax];
  std::size_t count_ = 0;
};

}  // namespace

// Runs the COMMAND of `scenario_tool WORD WORD COMMAND [ARG...]`; 127 when it
// cannot be run.
int execCommand(char** argv) {
  execvp(argv[3], argv + 3);
  fprintf(stderr, "scenario_tool: %s: %s\n", argv[3], strerror(errno));
  return 127;
}

int runOnStatedKernel(char* text, driver_scenario& driver, char** argv) {
  KernelLines kernel;
  scenario::read(text, driver, kernel);
  if (!kernel.apply()) {
    perror("scenario_tool: seccomp");
    return 1;
  }
  return execCommand(argv);
}
