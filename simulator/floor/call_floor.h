// SPDX-License-Identifier: MIT
// `scenario_tool floor CALLS COMMAND [ARG...]`: COMMAND on a kernel that has
// only the system calls the file CALLS names (call_floor.cpp).
#ifndef CLIENT_CHECK_SIMULATOR_CALL_FLOOR_H
#define CLIENT_CHECK_SIMULATOR_CALL_FLOOR_H

// argv as main() has it, argv[2] the file and argv[3] the command; returns
// only on failure (the exit status), or with the command's exit status.
int runAtCallFloor(char** argv);

#endif  // CLIENT_CHECK_SIMULATOR_CALL_FLOOR_H
