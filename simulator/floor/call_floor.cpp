// SPDX-License-Identifier: MIT
// A program on an older kernel: every system call it makes that the file
// CALLS does not name (one call a line, its first word; # starts a comment)
// is answered ENOSYS, as a kernel without it answers, in its own process and
// in a child it forks until that child starts another program. The programs
// it starts (the probe's shell and arping) run as they do on this kernel: a
// supervisor the kernel asks about each such call lets theirs through.
//
// The filter is set in a child that shares the descriptor table until it
// starts the command, so the supervisor holds the filter's listener; the
// supervisor runs on in the background until no process under the filter is
// left. Exit status: the command's (a signal that ended it is raised again);
// 127 when it cannot be started; 1 when the file or the filter fails.
#include "simulator/floor/call_floor.h"

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/sched.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <errno.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "client_check/file_descriptor.h"

namespace {

#if defined(__aarch64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_AARCH64;
#elif defined(__arm__)
constexpr unsigned kAuditArch = AUDIT_ARCH_ARM;
#elif defined(__mips__) && defined(__MIPSEL__) && _MIPS_SIM == _ABIO32
constexpr unsigned kAuditArch = AUDIT_ARCH_MIPSEL;
#elif defined(__mips__) && defined(__MIPSEB__) && _MIPS_SIM == _ABIO32
constexpr unsigned kAuditArch = AUDIT_ARCH_MIPS;
#elif defined(__x86_64__) && !defined(__ILP32__)
constexpr unsigned kAuditArch = AUDIT_ARCH_X86_64;
#else
#error "the filter needs this architecture's AUDIT_ARCH_ value"
#endif

// The number of a system call on this architecture, by the name its man
// page gives it; -1 for a call it does not have. The build makes the rows
// from the C library's own macros (system_call_names.c).
long systemCallNumber(const char* name) {
  static const struct {
    const char* name;
    long number;
  } kCalls[] = {
#include "system_call_table.inc"
  };
  for (const auto& call : kCalls)
    if (strcmp(call.name, name) == 0) return call.number;
  return -1;
}

constexpr size_t kMaxCalls = 120;

// The numbers of the calls the file names; false (with a message) when it
// cannot be read or names a call this architecture does not have.
bool readCalls(const char* file, long (&numbers)[kMaxCalls], size_t& count) {
  char text[8192];
  size_t size = 0;
  {
    const FileDescriptor in(open(file, O_RDONLY | O_CLOEXEC));
    long got = 0;
    while (in.isOpen() && size < sizeof text - 1 &&
           (got = read(in.fd(), text + size, sizeof text - 1 - size)) > 0)
      size += static_cast<size_t>(got);
    if (!in.isOpen() || got < 0 || size == sizeof text - 1) {
      fprintf(stderr, "scenario_tool: floor: cannot read %s\n", file);
      return false;
    }
  }
  text[size] = '\0';
  count = 0;
  for (char* line = text; *line != '\0';) {
    char* end = strchr(line, '\n');
    if (end != nullptr) *end = '\0';
    const size_t length = strcspn(line, " \t|#");
    if (length > 0) {
      line[length] = '\0';
      const long number = systemCallNumber(line);
      if (number < 0 || count == kMaxCalls - 1) {
        fprintf(stderr, "scenario_tool: floor: %s: %s: %s\n", file, line,
                number < 0 ? "not a system call of this architecture" : "one call too many");
        return false;
      }
      numbers[count++] = number;
    }
    if (end == nullptr) break;
    line = end + 1;
  }
  return true;
}

// The filter: the calls named are let through, every other is put to the
// supervisor (a call of another architecture too).
bool installFilter(const long* numbers, size_t count) {
  sock_filter program[kMaxCalls + 6];
  size_t n = 0;
  program[n++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch));
  program[n++] =
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 0, static_cast<unsigned char>(count + 1));
  program[n++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr));
  for (size_t k = 0; k < count; ++k)
    program[n++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(numbers[k]),
                            static_cast<unsigned char>(count - k), 0);
  program[n++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF);
  program[n++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
  const sock_fprog filter = {static_cast<unsigned short>(n), program};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &filter) >=
             0;
}

bool sameProgram(pid_t pid, const struct stat& program) {
  char path[32];
  snprintf(path, sizeof path, "/proc/%d/exe", static_cast<int>(pid));
  struct stat running;
  return stat(path, &running) == 0 && running.st_dev == program.st_dev &&
         running.st_ino == program.st_ino;
}

// Answers the kernel's questions until no process is left under the filter:
// ENOSYS to the command's program, "go on" to every other.
void supervise(int listener, const struct stat& program) {
  for (int fd = 0; fd < 1024; ++fd)
    if (fd != listener) close(fd);
  for (int k = 0; k < 3; ++k) open("/dev/null", O_RDWR);  // takes 0, 1 and 2
  for (;;) {
    pollfd ready = {listener, POLLIN, 0};
    if (poll(&ready, 1, -1) < 0 && errno != EINTR) return;
    if ((ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return;
    if ((ready.revents & POLLIN) == 0) continue;
    seccomp_notif question;
    memset(&question, 0, sizeof question);
    if (ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &question) != 0) continue;
    seccomp_notif_resp answer;
    memset(&answer, 0, sizeof answer);
    answer.id = question.id;
    if (sameProgram(static_cast<pid_t>(question.pid), program))
      answer.error = -ENOSYS;
    else
      answer.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
    ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &answer);  // the asker may be gone
  }
}

}  // namespace

int runAtCallFloor(char** argv) {
  long numbers[kMaxCalls];
  size_t count = 0;
  if (!readCalls(argv[2], numbers, count)) return 1;
  // The command's program, known by its file: what /proc/PID/exe names.
  struct stat program;
  if (strchr(argv[3], '/') == nullptr || stat(argv[3], &program) != 0) {
    fprintf(stderr, "scenario_tool: floor: %s: not the path of a program\n", argv[3]);
    return 127;
  }
  // execve is let through whatever the file says: every kernel has it, and
  // the command has to start.
  numbers[count++] = SYS_execve;
  // The listener takes the lowest free number in the shared table.
  const int listener = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (listener < 0) return 1;
  close(listener);
  // Until it starts the command the child shares this process's descriptor
  // table, and this process waits (no shared memory: it runs as after fork).
  const long child =
      syscall(SYS_clone, CLONE_VFORK | CLONE_FILES | SIGCHLD, nullptr, nullptr, nullptr, nullptr);
  if (child < 0) {
    perror("scenario_tool: floor: clone");
    return 1;
  }
  if (child == 0) {
    if (!installFilter(numbers, count)) {
      perror("scenario_tool: floor: seccomp");
      _exit(1);
    }
    execvp(argv[3], argv + 3);
    fprintf(stderr, "scenario_tool: %s: %s\n", argv[3], strerror(errno));
    _exit(127);
  }
  const pid_t command = static_cast<pid_t>(child);
  {
    const FileDescriptor held(fcntl(listener, F_GETFD) >= 0 ? listener : -1);
    if (held.isOpen() && fork() == 0) {
      supervise(held.fd(), program);
      _exit(0);
    }
  }  // the supervisor alone holds the listener now
  int status = 0;
  while (waitpid(command, &status, 0) < 0)
    if (errno != EINTR) return 1;
  if (WIFSIGNALED(status)) {
    signal(WTERMSIG(status), SIG_DFL);
    raise(WTERMSIG(status));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
