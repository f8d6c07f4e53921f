// SPDX-License-Identifier: MIT
// scenario_tool hold: a caller with many descriptors open.
#include <fcntl.h>

#include <stdio.h>
#include <stdlib.h>

#include "simulator/reader/tool_commands.h"

// A caller holding COUNT descriptors beyond the standard three open across
// exec, each on /dev/null, runs COMMAND.
int holdAndExec(char** argv) {
  char* end = nullptr;
  const long count = strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 0 || count > 4096) {
    fprintf(stderr, "scenario_tool: hold: not a count: %s\n", argv[2]);
    return 2;
  }
  for (long k = 0; k < count; ++k) {
    if (open("/dev/null", O_RDONLY) < 0) {
      perror("scenario_tool: hold");
      return 1;
    }
  }
  return execCommand(argv);
}
