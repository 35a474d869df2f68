#include "shell/FileNameList.h"

#include "base/Messages.h"
#include "base/PathText.h"

namespace parvane {

namespace {

std::vector<FileNameEntry> entries;
std::int32_t cursor = 0;

}  // namespace

bool AddFileName(const std::string& path) {
    if (path.size() > MAX_PATH_LENGTH) {
        ShowError("The path '%s' is longer than %d characters.", path.c_str(),
                  static_cast<int>(MAX_PATH_LENGTH));
        return false;
    }
    entries.push_back(FileNameEntry{path, 0, 0});
    return true;
}

void ClearFileNameList() {
    entries.clear();
}

FileNameEntry* NextFileName(std::int32_t step) {
    if (cursor < 0 || cursor >= FileNameCount()) {
        cursor = 0;
        return nullptr;
    }
    FileNameEntry* entry = &entries[static_cast<std::size_t>(cursor)];
    cursor += step;
    return entry;
}

std::int32_t FileNameCount() {
    return static_cast<std::int32_t>(entries.size());
}

const std::vector<FileNameEntry>& GetFileNameEntries() {
    return entries;
}

void SetFileNameEntries(std::vector<FileNameEntry> newEntries) {
    entries = std::move(newEntries);
}

}  // namespace parvane
