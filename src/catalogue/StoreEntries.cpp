#include "catalogue/StoreEntries.h"

namespace parvane {

std::array<EntryValue, 8> CourseEntryValues(CourseRecord& course) {
    return {{
        {VALUE_NAME, &course.name},
        {VALUE_FILENAME, &course.filename},
        {VALUE_FLAG, &course.flag},
        {VALUE_LOGO, &course.logo},
        {VALUE_AUDIO, &course.audio},
        {VALUE_MUSIC, &course.music},
        {VALUE_PICTURE, &course.picture},
        {VALUE_TEXT, &course.text},
    }};
}

std::array<EntryValue, 2> LibraryEntryValues(LibraryRecord& library) {
    return {{{VALUE_NAME, &library.name}, {VALUE_FILENAME, &library.filename}}};
}

std::string EntryKeyPath(std::string_view storePath, std::string_view keyName) {
    std::string path;
    path.reserve(storePath.size() + 1 + keyName.size());
    path.append(storePath).append(1, '\\').append(keyName);
    return path;
}

Win32Error ReadEntryValue(KeyHandle entry, const std::string& valueName, std::string& text) {
    text.clear();
    std::uint32_t type = 0;
    std::string data;
    const Win32Error status =
        TheMachine().QueryValue(entry, valueName, ENTRY_VALUE_CAPACITY, type, data);
    if (status == ERR_FILE_NOT_FOUND || status == ERR_MORE_DATA) {
        return ERR_SUCCESS;
    }
    if (status != ERR_SUCCESS) {
        return status;
    }
    // Data that fills the whole buffer without a terminator leaves no room for one: it is as
    // much too long as data that does not fit at all.
    if (const std::string value = data.substr(0, data.find('\0'));
        value.size() < ENTRY_VALUE_CAPACITY) {
        text = value;
    }
    return ERR_SUCCESS;
}

}  // namespace parvane
