// SPDX-License-Identifier: MIT
// A program of ours that needs the C++ runtime (operator new): linked the way
// the tool is, it must fail to link.
#include "client_check/client_check.h"

int main(int argc, char** argv) {
  // The allocation escapes into the tool, so no compiler can leave it out.
  char* name = new char[16]{'c'};
  argv[0] = name;
  return clientCheck(argc, argv);
}
