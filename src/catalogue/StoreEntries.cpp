#include "catalogue/StoreEntries.h"

namespace parvane {

std::string EntryKeyPath(std::string_view storePath, std::string_view keyName) {
    std::string path;
    path.reserve(storePath.size() + 1 + keyName.size());
    path.append(storePath).append(1, '\\').append(keyName);
    return path;
}

std::string ReadEntryValue(KeyHandle entry, const std::string& valueName) {
    std::uint32_t type = 0;
    std::string data;
    if (TheMachine().QueryValue(entry, valueName, ENTRY_VALUE_CAPACITY, type, data) !=
        ERR_SUCCESS) {
        return {};
    }
    std::string text = data.substr(0, data.find('\0'));
    // Data that fills the whole buffer without a terminator leaves no room for one: it is as
    // much too long as data that does not fit at all.
    if (text.size() >= ENTRY_VALUE_CAPACITY) {
        return {};
    }
    return text;
}

}  // namespace parvane
