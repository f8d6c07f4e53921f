// SPDX-License-Identifier: MIT
// errno_text NAME...: prints the C library's own text for each errno name,
// one per line, so that the end-to-end tests expect the messages of the
// library the tool was built against.
#include <stdio.h>
#include <string.h>

#include "simulator/driver/errno_names.h"

int main(int argc, char** argv) {
  for (int k = 1; k < argc; ++k) {
    const ErrnoName* found = nullptr;
    for (const ErrnoName& e : kErrnoNames)
      if (strcmp(e.name, argv[k]) == 0) found = &e;
    if (found == nullptr) {
      fprintf(stderr, "errno_text: unknown errno name %s\n", argv[k]);
      return 2;
    }
    puts(strerror(found->value));
  }
  return 0;
}
