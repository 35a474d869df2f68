#pragma once

// Info-ZIP on Unix stores a name as the system spells it (UTF-8 today) without flag bit 11,
// and adds the Unicode Path extra field (ID 0x7075): version 1, the CRC-32 of the stored name,
// then the name in UTF-8. The field holds only while its CRC matches the stored name: a tool
// that renamed the entry without knowing the field left it stale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvane {

inline constexpr std::uint16_t ZIP_EXTRA_UNICODE_PATH = 0x7075;

// The UTF-8 name of the extra fields' Unicode Path field when it is version 1 and matches
// `storedName`; none otherwise, also when the fields are cut short.
std::optional<std::string> UnicodePathName(std::string_view extraFields,
                                           std::string_view storedName);

}  // namespace parvane
