#include "archive/ZipWalk.h"

#include "base/Messages.h"

namespace parvane {

namespace {
constexpr const char* ENTRY_INFO_FAILED_MESSAGE = "Couldn't get ZIP file info, return code=%d";
}  // namespace

bool ReadArchiveInfo(ZipReader& reader) {
    if (const int result = reader.ReadGlobalInfo(); result != ZIPCODE_OK) {
        ShowError("Couldn't get ZIP global info, return code=%d", result);
        return false;
    }
    return true;
}

// A step to the next entry that fails leaves minizip on the entry just visited: it is reported
// rather than visited again.
bool ForEachEntry(ZipReader& reader, const std::function<bool(const ZipEntryInfo&)>& visit) {
    reader.GoToFirstEntry();
    int moved = ZIPCODE_OK;
    do {
        ZipEntryInfo info;
        if (const int result = reader.ReadEntryInfo(info); result != ZIPCODE_OK) {
            ShowError(ENTRY_INFO_FAILED_MESSAGE, result);
            return false;
        }
        if (!visit(info)) {
            return false;
        }
        moved = reader.GoToNextEntry();
    } while (moved == ZIPCODE_OK);
    if (moved != ZIPCODE_END_OF_LIST) {
        ShowError(ENTRY_INFO_FAILED_MESSAGE, moved);
        return false;
    }
    return true;
}

}  // namespace parvane
