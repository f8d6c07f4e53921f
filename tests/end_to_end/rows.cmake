# SPDX-License-Identifier: MIT
# Registers each row of cases.txt as a test, included from tests/CMakeLists.txt.
# End-to-end: the built binary on the simulated router, one test per row; a
# static build runs the same objects linked with the simulator.
if(NOT CLIENT_CHECK_SIMULATOR)
  message(STATUS "CLIENT_CHECK_SIMULATOR is OFF: the end-to-end tests, which run on the "
    "simulated router, are left out")
elseif(loop)
  string(REPLACE ";" " " emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  # For the emulated routers' runner, which takes several builds' programs.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/emulator "${emulator}\n")
  # The preloaded simulator comes before the sanitizer runtime; any report fails.
  set(sanitizer_environment
    "ASAN_OPTIONS=verify_asan_link_order=0:abort_on_error=0:exitcode=99;UBSAN_OPTIONS=halt_on_error=1:exitcode=99")
  if(CLIENT_CHECK_STATIC)
    set(e2e_binary $<TARGET_FILE:client_check_simulated>)
    set(e2e_simulator linked)
  else()
    set(e2e_binary $<TARGET_FILE:client_check>)
    set(e2e_simulator $<TARGET_FILE:client_check_driver_sim>)
  endif()
  # A cross build's driver record in the target's own errno values.
  set(target_scenario_tool "")
  if(TARGET client_check_scenario_tool_target)
    set(target_scenario_tool $<TARGET_FILE:client_check_scenario_tool_target>)
  endif()
  # Expected messages in the C library's own texts.
  add_executable(client_check_errno_text end_to_end/errno_text.cpp)
  target_link_libraries(client_check_errno_text PRIVATE client_check_options)
  target_include_directories(client_check_errno_text PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(client_check_errno_text PROPERTIES OUTPUT_NAME errno_text)
  client_check_link_as_c(client_check_errno_text)
  set(cases_file ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/cases.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${cases_file})
  # Every row is registered, or the configure step says which is not and why.
  file(STRINGS ${cases_file} case_lines)
  set(case_rows "")
  set(case_names "")
  set(columns name scenario arguments "exit statuses" stderr "driver log" "probe log" "run under"
    "real kernel" explain)
  foreach(row IN LISTS case_lines)
    if(row MATCHES "^[ \t]*(#|$)" OR row MATCHES "^{PROBE} = ")
      continue()
    endif()
    string(REGEX REPLACE " *[|].*" "" case_name "${row}")
    if(NOT case_name MATCHES "^[a-z0-9-]+$")
      message(FATAL_ERROR "tests/end_to_end/cases.txt: the row '${case_name}' would never run: "
        "a row's name is lower-case letters, digits and '-', then '|'")
    endif()
    if(case_name IN_LIST case_names)
      message(FATAL_ERROR "tests/end_to_end/cases.txt: two rows named '${case_name}'")
    endif()
    string(REGEX REPLACE "[^|]" "" bars "${row}")
    string(LENGTH "${bars}" fields)
    math(EXPR fields "${fields} + 1")
    if(fields LESS 6 OR fields GREATER 10)
      list(GET columns 5 wanted)
      if(fields LESS 6)
        list(GET columns ${fields} wanted)
      endif()
      message(FATAL_ERROR "tests/end_to_end/cases.txt: the row '${case_name}' has ${fields} columns: "
        "from name to driver log at least, explain at most (the first one missing: ${wanted})")
    endif()
    list(APPEND case_names ${case_name})
    list(APPEND case_rows "${row}")
  endforeach()
  # A dynamic build whose C library and architecture other builds run the
  # whole table on (tests/matrix) runs a sample that proves its own loading:
  # the driver reached, each verdict, a C library's error text, and the
  # probe through a caller's pipes.
  set(CLIENT_CHECK_E2E_ROWS all CACHE STRING "The end-to-end rows to register: all or sample")
  set_property(CACHE CLIENT_CHECK_E2E_ROWS PROPERTY STRINGS all sample)
  set(sample_rows radio0-client not-associated usage probe-then-find psta-unknown pipe-probe)
  foreach(row IN LISTS case_rows)
    string(REGEX REPLACE " *\\|.*" "" case_name "${row}")
    if(CLIENT_CHECK_E2E_ROWS STREQUAL "sample" AND NOT case_name IN_LIST sample_rows)
      continue()
    endif()
    # Rows for the emulated routers alone; valgrind rows on host builds
    # without a sanitizer runtime; a build whose table runs on an emulated
    # router keeps here only the rows that router leaves out.
    # (The eighth column says what runs the tool, the ninth how the row runs
    # on a real kernel.)
    set(seven "^[^|]*[|][^|]*[|][^|]*[|][^|]*[|][^|]*[|][^|]*[|][^|]*[|]")
    if(row MATCHES "${seven}[^|]*[|] *only *([|]|$)" OR (row MATCHES "${seven} *valgrind *([|]|$)"
       AND (CMAKE_CROSSCOMPILING OR CLIENT_CHECK_SANITIZE)) OR
       (NOT machine STREQUAL "-" AND NOT row MATCHES "${seven}[^|]*[|] *skip *([|]|$)"))
      continue()
    endif()
    add_test(NAME e2e.${case_name}
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/on-router ${case_name})
    set_tests_properties(e2e.${case_name} PROPERTIES
      SKIP_RETURN_CODE 77
      ENVIRONMENT "CLIENT_CHECK_HELPERS=${client_check_helpers};CLIENT_CHECK_SCENARIO_TOOL=${CLIENT_CHECK_SCENARIO_TOOL};CLIENT_CHECK_TARGET_SCENARIO_TOOL=${target_scenario_tool};CLIENT_CHECK_ERRNO_TEXT=$<TARGET_FILE:client_check_errno_text>;CLIENT_CHECK_BIN=${e2e_binary};CLIENT_CHECK_SIM_LIB=${e2e_simulator};CLIENT_CHECK_EMULATOR=${emulator};${sanitizer_environment}")
  endforeach()
endif()
