# SPDX-License-Identifier: MIT
# Writes OUT, the rows of the call floor's table (call_floor.cpp), from IN,
# the macros a compiler defined for <sys/syscall.h> (-E -dM): a row for each
# __NR_ macro, after ARM's own calls (__ARM_NR_), which come first.
#   cmake -DIN=MACROS -DOUT=ROWS -P system_call_table.cmake
file(STRINGS "${IN}" macros REGEX "^#define __(ARM_)?NR_[A-Za-z0-9_]+ ")
set(own "")
set(rows "")
foreach(macro IN LISTS macros)
  string(REGEX REPLACE "^#define (__(ARM_)?NR_([A-Za-z0-9_]+)) .*" "{\"\\3\", \\1},\n" row "${macro}")
  if(macro MATCHES "^#define __ARM_")
    string(APPEND own "${row}")
  else()
    string(APPEND rows "${row}")
  endif()
endforeach()
if(rows STREQUAL "")
  message(FATAL_ERROR "${IN}: no system call macros")
endif()
file(WRITE "${OUT}" "${own}${rows}")
