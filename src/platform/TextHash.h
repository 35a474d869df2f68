#pragma once

// Maps keyed by text that are searched with a view of it, without making a string to search
// with: the catalogue's lookups run for each of tens of thousands of paths.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace parvane {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

}  // namespace parvane
