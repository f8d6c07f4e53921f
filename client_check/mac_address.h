// SPDX-License-Identifier: MIT
#ifndef CLIENT_CHECK_MAC_ADDRESS_H
#define CLIENT_CHECK_MAC_ADDRESS_H

#include <array>
#include <cstdint>

// Six bytes in transmission order.
using MacAddress = std::array<std::uint8_t, 6>;

#endif  // CLIENT_CHECK_MAC_ADDRESS_H
