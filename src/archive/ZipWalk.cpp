#include "archive/ZipWalk.h"

#include "base/Messages.h"

namespace parvane {

bool ReadArchiveInfo(ZipReader& reader) {
    if (const int result = reader.ReadGlobalInfo(); result != ZIPCODE_OK) {
        ShowError("Couldn't get ZIP global info, return code=%d", result);
        return false;
    }
    return true;
}

bool ForEachEntry(ZipReader& reader, const std::function<bool(const ZipEntryInfo&)>& visit) {
    reader.GoToFirstEntry();
    do {
        ZipEntryInfo info;
        if (const int result = reader.ReadEntryInfo(info); result != ZIPCODE_OK) {
            ShowError("Couldn't get ZIP file info, return code=%d", result);
            return false;
        }
        if (!visit(info)) {
            return false;
        }
    } while (reader.GoToNextEntry() != ZIPCODE_END_OF_LIST);
    return true;
}

}  // namespace parvane
