/* SPDX-License-Identifier: MIT */
/* Preprocessed alone (-E -dM), this lists the macros that name this
 * architecture's system calls: system_call_table.cmake makes the call
 * floor's table of them. */
#include <sys/syscall.h>
