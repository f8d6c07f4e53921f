// SPDX-License-Identifier: MIT
// The number of a system call on the architecture this is built for, by the
// name its man page gives it; -1 for a call the architecture does not have.
#ifndef CLIENT_CHECK_SIMULATOR_SYSTEM_CALLS_H
#define CLIENT_CHECK_SIMULATOR_SYSTEM_CALLS_H

#include <sys/syscall.h>

#include <string.h>

inline long systemCallNumber(const char* name) {
  static const struct {
    const char* name;
    long number;
  } kCalls[] = {
#ifdef __NR_read
      {"read", __NR_read},
#endif
#ifdef __NR_write
      {"write", __NR_write},
#endif
#ifdef __NR_writev
      {"writev", __NR_writev},
#endif
#ifdef __NR_open
      {"open", __NR_open},
#endif
#ifdef __NR_openat
      {"openat", __NR_openat},
#endif
#ifdef __NR_close
      {"close", __NR_close},
#endif
#ifdef __NR_close_range
      {"close_range", __NR_close_range},
#endif
#ifdef __NR_getdents
      {"getdents", __NR_getdents},
#endif
#ifdef __NR_getdents64
      {"getdents64", __NR_getdents64},
#endif
#ifdef __NR_ioctl
      {"ioctl", __NR_ioctl},
#endif
#ifdef __NR_socket
      {"socket", __NR_socket},
#endif
#ifdef __NR_fcntl
      {"fcntl", __NR_fcntl},
#endif
#ifdef __NR_fcntl64
      {"fcntl64", __NR_fcntl64},
#endif
#ifdef __NR_dup2
      {"dup2", __NR_dup2},
#endif
#ifdef __NR_dup3
      {"dup3", __NR_dup3},
#endif
#ifdef __NR_getrlimit
      {"getrlimit", __NR_getrlimit},
#endif
#ifdef __NR_ugetrlimit
      {"ugetrlimit", __NR_ugetrlimit},
#endif
#ifdef __NR_prlimit64
      {"prlimit64", __NR_prlimit64},
#endif
#ifdef __NR_rt_sigaction
      {"rt_sigaction", __NR_rt_sigaction},
#endif
#ifdef __NR_rt_sigprocmask
      {"rt_sigprocmask", __NR_rt_sigprocmask},
#endif
#ifdef __NR_sigaction
      {"sigaction", __NR_sigaction},
#endif
#ifdef __NR_sigprocmask
      {"sigprocmask", __NR_sigprocmask},
#endif
#ifdef __NR_rt_sigreturn
      {"rt_sigreturn", __NR_rt_sigreturn},
#endif
#ifdef __NR_sigreturn
      {"sigreturn", __NR_sigreturn},
#endif
#ifdef __NR_exit
      {"exit", __NR_exit},
#endif
#ifdef __NR_exit_group
      {"exit_group", __NR_exit_group},
#endif
#ifdef __NR_execve
      {"execve", __NR_execve},
#endif
#ifdef __NR_fork
      {"fork", __NR_fork},
#endif
#ifdef __NR_vfork
      {"vfork", __NR_vfork},
#endif
#ifdef __NR_clone
      {"clone", __NR_clone},
#endif
#ifdef __NR_clone3
      {"clone3", __NR_clone3},
#endif
#ifdef __NR_wait4
      {"wait4", __NR_wait4},
#endif
#ifdef __NR_waitpid
      {"waitpid", __NR_waitpid},
#endif
#ifdef __NR_waitid
      {"waitid", __NR_waitid},
#endif
#ifdef __NR_brk
      {"brk", __NR_brk},
#endif
#ifdef __NR_mmap
      {"mmap", __NR_mmap},
#endif
#ifdef __NR_mmap2
      {"mmap2", __NR_mmap2},
#endif
#ifdef __NR_munmap
      {"munmap", __NR_munmap},
#endif
#ifdef __NR_mprotect
      {"mprotect", __NR_mprotect},
#endif
#ifdef __NR_madvise
      {"madvise", __NR_madvise},
#endif
#ifdef __NR_set_tid_address
      {"set_tid_address", __NR_set_tid_address},
#endif
#ifdef __NR_set_thread_area
      {"set_thread_area", __NR_set_thread_area},
#endif
#ifdef __NR_set_robust_list
      {"set_robust_list", __NR_set_robust_list},
#endif
#ifdef __NR_rseq
      {"rseq", __NR_rseq},
#endif
#ifdef __NR_getpid
      {"getpid", __NR_getpid},
#endif
#ifdef __NR_getppid
      {"getppid", __NR_getppid},
#endif
#ifdef __NR_gettid
      {"gettid", __NR_gettid},
#endif
#ifdef __NR_getuid
      {"getuid", __NR_getuid},
#endif
#ifdef __NR_geteuid
      {"geteuid", __NR_geteuid},
#endif
#ifdef __NR_readlink
      {"readlink", __NR_readlink},
#endif
#ifdef __NR_readlinkat
      {"readlinkat", __NR_readlinkat},
#endif
#ifdef __NR_fstat
      {"fstat", __NR_fstat},
#endif
#ifdef __NR_fstat64
      {"fstat64", __NR_fstat64},
#endif
#ifdef __NR_stat
      {"stat", __NR_stat},
#endif
#ifdef __NR_stat64
      {"stat64", __NR_stat64},
#endif
#ifdef __NR_fstatat64
      {"fstatat64", __NR_fstatat64},
#endif
#ifdef __NR_newfstatat
      {"newfstatat", __NR_newfstatat},
#endif
#ifdef __NR_statx
      {"statx", __NR_statx},
#endif
#ifdef __NR_lseek
      {"lseek", __NR_lseek},
#endif
#ifdef __NR__llseek
      {"_llseek", __NR__llseek},
#endif
#ifdef __NR_uname
      {"uname", __NR_uname},
#endif
#ifdef __NR_clock_gettime
      {"clock_gettime", __NR_clock_gettime},
#endif
#ifdef __NR_clock_gettime64
      {"clock_gettime64", __NR_clock_gettime64},
#endif
#ifdef __NR_nanosleep
      {"nanosleep", __NR_nanosleep},
#endif
#ifdef __NR_poll
      {"poll", __NR_poll},
#endif
#ifdef __NR_ppoll
      {"ppoll", __NR_ppoll},
#endif
#ifdef __NR_access
      {"access", __NR_access},
#endif
#ifdef __NR_faccessat
      {"faccessat", __NR_faccessat},
#endif
#ifdef __NR_faccessat2
      {"faccessat2", __NR_faccessat2},
#endif
#ifdef __NR_kill
      {"kill", __NR_kill},
#endif
#ifdef __NR_tgkill
      {"tgkill", __NR_tgkill},
#endif
#ifdef __NR_futex
      {"futex", __NR_futex},
#endif
#ifdef __NR_getrandom
      {"getrandom", __NR_getrandom},
#endif
#ifdef __NR_pipe
      {"pipe", __NR_pipe},
#endif
#ifdef __NR_pipe2
      {"pipe2", __NR_pipe2},
#endif
#ifdef __NR_prctl
      {"prctl", __NR_prctl},
#endif
#ifdef __NR_arch_prctl
      {"arch_prctl", __NR_arch_prctl},
#endif
#ifdef __NR_socketcall
      {"socketcall", __NR_socketcall},
#endif
#ifdef __ARM_NR_cacheflush
      {"cacheflush", __ARM_NR_cacheflush},
#elif defined(__NR_cacheflush)
      {"cacheflush", __NR_cacheflush},
#endif
#ifdef __ARM_NR_set_tls  // ARM's own calls, from their own base
      {"set_tls", __ARM_NR_set_tls},
#endif
#ifdef __NR_restart_syscall
      {"restart_syscall", __NR_restart_syscall},
#endif
  };
  for (const auto& call : kCalls)
    if (strcmp(call.name, name) == 0) return call.number;
  return -1;
}

#endif  // CLIENT_CHECK_SIMULATOR_SYSTEM_CALLS_H
