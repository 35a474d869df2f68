#include "catalogue/Guid.h"

#include <algorithm>
#include <cstdio>

namespace parvane {

namespace {

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

}  // namespace

GUID GuidFromBytes(const std::uint8_t* bytes) {
    GUID guid;
    guid.Data1 = LittleEndian(bytes, 4);
    guid.Data2 = static_cast<std::uint16_t>(LittleEndian(bytes + 4, 2));
    guid.Data3 = static_cast<std::uint16_t>(LittleEndian(bytes + 6, 2));
    std::copy_n(bytes + 8, guid.Data4.size(), guid.Data4.begin());
    return guid;
}

bool IsZeroGuid(const GUID& guid) {
    return guid == GUID{};
}

std::string GuidToText(const GUID& guid) {
    char text[GUID_TEXT_LENGTH + 1];
    const auto& d = guid.Data4;
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), unsigned{guid.Data2}, unsigned{guid.Data3},
                  unsigned{d[0]}, unsigned{d[1]}, unsigned{d[2]}, unsigned{d[3]}, unsigned{d[4]},
                  unsigned{d[5]}, unsigned{d[6]}, unsigned{d[7]});
    return std::string(text, GUID_TEXT_LENGTH);
}

}  // namespace parvane
