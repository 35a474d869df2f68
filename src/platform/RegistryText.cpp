#include "platform/RegistryText.h"

namespace parvane {

Win32Error ReadTextValue(KeyHandle key, const std::string& valueName, std::uint32_t capacity,
                         std::string& text) {
    std::uint32_t type = REGTYPE_NONE;
    std::string data;
    const Win32Error status = TheMachine().QueryValue(key, valueName, capacity, type, data);
    if (status != ERR_SUCCESS) {
        return status;
    }
    if (type != REGTYPE_SZ && type != REGTYPE_EXPAND_SZ) {
        return ERR_INVALID_DATA;
    }
    const std::size_t end = data.find('\0');
    // Stored without a terminator and filling the buffer: no room is left to add one.
    if (end == std::string::npos && data.size() >= capacity) {
        return ERR_MORE_DATA;
    }
    text = data.substr(0, end);
    return ERR_SUCCESS;
}

}  // namespace parvane
