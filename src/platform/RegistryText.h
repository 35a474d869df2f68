#pragma once

// Reading a text value of a registry key through a buffer of fixed size, as the program reads
// every value it needs.

#include <cstdint>
#include <string>

#include "platform/Machine.h"

namespace parvane {

// Reads the text value `valueName` (empty: the default value) of `key` through a buffer of
// `capacity` bytes, the terminator included. ERR_MORE_DATA when the text and its terminator do
// not fit; ERR_INVALID_DATA when the value is not a text (REG_SZ or REG_EXPAND_SZ, unexpanded).
Win32Error ReadTextValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                         std::string& text);

}  // namespace parvane
