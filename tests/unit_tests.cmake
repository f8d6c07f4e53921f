# SPDX-License-Identifier: MIT
# The unit tests: GoogleTest, with a fake driver and ARP table linked in at
# the C library boundary. Included from tests/CMakeLists.txt.
include(GoogleTest)

# A C library with 64-bit time or file offsets on a 32-bit target exports
# ioctl and open under other names; the fake must wrap the names in use.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles([=[
#include <sys/ioctl.h>
#if !(defined(__USE_TIME_BITS64) && __TIMESIZE == 32)
#error plain ioctl
#endif
int main() { return 0; }]=] CLIENT_CHECK_IOCTL_TIME64)
check_cxx_source_compiles([=[
#include <fcntl.h>
#if !(defined(__USE_FILE_OFFSET64) && __WORDSIZE == 32)
#error plain open
#endif
int main() { return 0; }]=] CLIENT_CHECK_OPEN64)
set(wrapped_ioctl ioctl)
set(wrapped_open open)
if(CLIENT_CHECK_IOCTL_TIME64)
  set(wrapped_ioctl __ioctl_time64)
endif()
if(CLIENT_CHECK_OPEN64)
  set(wrapped_open open64)
endif()

add_executable(client_check_unit_tests
  address_word_test.cpp
  arp_line_test.cpp
  arp_lookup_test.cpp
  client_check_test.cpp
  fake_driver.cpp
  radio_test.cpp
  wlan_test.cpp)
target_include_directories(client_check_unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(client_check_unit_tests PRIVATE client_check_core GTest::gtest GTest::gtest_main)
if(CLIENT_CHECK_STATIC)
  target_link_options(client_check_unit_tests PRIVATE -static)
endif()
target_compile_definitions(client_check_unit_tests PRIVATE
  WRAPPED_IOCTL=${wrapped_ioctl} WRAPPED_OPEN=${wrapped_open}
  CLIENT_CHECK_CASES="${CMAKE_CURRENT_SOURCE_DIR}/end_to_end/cases.txt")
target_link_options(client_check_unit_tests PRIVATE -Wl,--wrap=socket -Wl,--wrap=${wrapped_ioctl}
  -Wl,--wrap=close -Wl,--wrap=${wrapped_open} -Wl,--wrap=system -Wl,--wrap=access
  -Wl,--wrap=syscall)
gtest_discover_tests(client_check_unit_tests DISCOVERY_TIMEOUT 60)

