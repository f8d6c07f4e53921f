# SPDX-License-Identifier: MIT
# Strips a copy of the tool, prints its size and NEEDED libraries, and fails
# when it needs anything but the C library or passes its size budget in
# bytes, or has none (BUDGET=any: a packager's flags, no budget to hold).
# The C library may come as two files: on ARM glibc, code built with a stack
# protector reads its guard from the dynamic loader.
#   cmake -DBINARY=... -DSTRIP=... -DREADELF=... -DBUDGET=BYTES|any [-DCONFIGURATION=NAME]
#         -DCOPY=... -P footprint.cmake
file(COPY_FILE ${BINARY} ${COPY})
execute_process(COMMAND ${STRIP} ${COPY} RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "cannot strip ${COPY} with ${STRIP}")
endif()
file(SIZE ${COPY} size)
execute_process(COMMAND ${READELF} -d ${COPY} OUTPUT_VARIABLE dynamic)
string(REGEX MATCHALL "Shared library: \\[[^]]*\\]" needed "${dynamic}")
string(REGEX REPLACE "Shared library: \\[([^]]*)\\]" "\\1" needed "${needed}")
if(NOT needed)
  set(needed "(none: static)")
endif()
if(NOT BUDGET MATCHES "^([0-9]+|any)$")
  message(FATAL_ERROR "${size} bytes, and no size budget for configuration '${CONFIGURATION}': "
    "give it one in tests/matrix (or -DCLIENT_CHECK_CONFIGURATION=NAME of a line there)")
endif()
message("stripped size: ${size} bytes (budget ${BUDGET}); NEEDED: ${needed}")
foreach(library IN LISTS needed)
  if(NOT library MATCHES "^(libc\\.so|ld-linux)" AND NOT library STREQUAL "(none: static)")
    message(FATAL_ERROR "needs ${library}: only the C library is allowed")
  endif()
endforeach()
if(NOT BUDGET STREQUAL "any" AND size GREATER BUDGET)
  message(FATAL_ERROR "${size} bytes is over the budget of ${BUDGET}")
endif()
