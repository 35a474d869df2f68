#include "MemoryMachine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/wine/text/ArchiveNames.h"

namespace parvane::fuzz {

namespace {

constexpr std::uint64_t FREE_SPACE = std::uint64_t{1} << 32;

std::string WithoutTrailingBackslashes(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

// '*' and '?' as FindFirstFileA reads them; "*.*" matches every name.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    if (pattern.empty()) {
        return name.empty();
    }
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (MatchesPattern(name.substr(skip), pattern.substr(1))) {
                return true;
            }
        }
        return false;
    }
    return !name.empty() &&
           (pattern.front() == '?' || UpperAscii(pattern.front()) == UpperAscii(name.front())) &&
           MatchesPattern(name.substr(1), pattern.substr(1));
}

class MemoryStream final : public FileStream {
  public:
    explicit MemoryStream(std::shared_ptr<std::string> content) : data(std::move(content)) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        const std::size_t available = position < data->size() ? data->size() - position : 0;
        const std::size_t count = std::min(size, available);
        std::copy_n(data->data() + position, count, static_cast<char*>(buffer));
        position += count;
        return count;
    }
    std::size_t Write(const void* bytes, std::size_t size) override {
        if (data->size() < position + size) {
            data->resize(position + size);
        }
        std::copy_n(static_cast<const char*>(bytes), size, data->data() + position);
        position += size;
        return size;
    }
    Win32Error Seek(std::int64_t offset, int origin) override {
        const std::int64_t base = origin == 0   ? 0
                                  : origin == 1 ? static_cast<std::int64_t>(position)
                                                : static_cast<std::int64_t>(data->size());
        if (base + offset < 0) {
            return ERR_INVALID_PARAMETER;
        }
        position = static_cast<std::size_t>(base + offset);
        return ERR_SUCCESS;
    }
    std::int64_t Tell() override { return static_cast<std::int64_t>(position); }
    Win32Error Error() const override { return ERR_SUCCESS; }
    Win32Error Flush() override { return ERR_SUCCESS; }
    Win32Error Sync() override { return ERR_SUCCESS; }
    Win32Error Close() override { return ERR_SUCCESS; }

  private:
    std::shared_ptr<std::string> data;
    std::size_t position = 0;
};

}  // namespace

MemoryMachine::MemoryMachine() {
    folders[Key("C:")] = "C:";
    folders[Key("C:\\TEMP")] = "C:\\Temp";
}

std::string MemoryMachine::Key(const std::string& path) {
    return ToUpperAscii(WithoutTrailingBackslashes(path));
}

void MemoryMachine::AllowChangesUnder(const std::string& folder) {
    allowed.push_back(Key(folder) + "\\");
}

void MemoryMachine::PutFolder(const std::string& path) {
    folders[Key(path)] = WithoutTrailingBackslashes(path);
}

void MemoryMachine::PutFile(const std::string& path, std::string data) {
    files[Key(path)] = {path, std::make_shared<std::string>(std::move(data))};
}

std::vector<std::string> MemoryMachine::FilesUnder(const std::string& folder) const {
    std::vector<std::string> found;
    const std::string prefix = Key(folder) + "\\";
    for (const auto& [key, file] : files) {
        if (key.starts_with(prefix)) {
            found.push_back(file.path);
        }
    }
    return found;
}

bool MemoryMachine::FolderExists(const std::string& path) const {
    return folders.contains(Key(path));
}

bool MemoryMachine::ParentExists(const std::string& path) const {
    const std::string trimmed = WithoutTrailingBackslashes(path);
    const std::size_t separator = trimmed.find_last_of("\\/");
    return separator != std::string::npos && FolderExists(trimmed.substr(0, separator));
}

void MemoryMachine::CheckChangeAllowed(const std::string& path) const {
    const std::string key = Key(path);
    const bool inside = std::any_of(allowed.begin(), allowed.end(), [&](const std::string& root) {
        return key.starts_with(root) || key + "\\" == root;
    });
    if (!inside || HasDotComponent(path)) {
        std::fprintf(stderr, "change outside the allowed folders: %s\n", path.c_str());
        std::abort();
    }
}

Win32Error MemoryMachine::OpenKey(Hive, const std::string&, KeyHandle& key) {
    key = 0;
    return ERR_FILE_NOT_FOUND;
}
Win32Error MemoryMachine::CreateKey(Hive, const std::string&, const std::string&, KeyHandle& key) {
    key = 0;
    return ERR_ACCESS_DENIED;
}
Win32Error MemoryMachine::EnumKey(KeyHandle, std::uint32_t, std::uint32_t, std::string& name) {
    name.clear();
    return ERR_INVALID_HANDLE;
}
Win32Error MemoryMachine::QueryValue(KeyHandle, const std::string&, std::uint32_t,
                                     std::uint32_t& type, std::string& data) {
    type = REGTYPE_NONE;
    data.clear();
    return ERR_INVALID_HANDLE;
}
Win32Error MemoryMachine::SetValue(KeyHandle, const std::string&, std::uint32_t,
                                   const std::string&) {
    return ERR_INVALID_HANDLE;
}
Win32Error MemoryMachine::DeleteKey(Hive, const std::string&) {
    return ERR_FILE_NOT_FOUND;
}
Win32Error MemoryMachine::CloseKey(KeyHandle) {
    return ERR_INVALID_HANDLE;
}

Win32Error MemoryMachine::GetAttributes(const std::string& path, std::uint32_t& attributes) {
    if (FolderExists(path)) {
        attributes = ATTR_DIRECTORY;
        return ERR_SUCCESS;
    }
    attributes = ATTR_INVALID;
    if (!files.contains(Key(path))) {
        return ParentExists(path) ? ERR_FILE_NOT_FOUND : ERR_PATH_NOT_FOUND;
    }
    attributes = ATTR_ARCHIVE;
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::GetFileStatus(const std::string& path, FileStatus& status) {
    status = FileStatus{};
    const Win32Error error = GetAttributes(path, status.attributes);
    if (const auto found = files.find(Key(path)); found != files.end()) {
        status.size = found->second.data->size();
    }
    return error;
}

Win32Error MemoryMachine::MakeFolder(const std::string& path) {
    if (FolderExists(path) || files.contains(Key(path))) {
        return ERR_ALREADY_EXISTS;
    }
    if (!ParentExists(path)) {
        return ERR_PATH_NOT_FOUND;
    }
    CheckChangeAllowed(path);
    folders[Key(path)] = WithoutTrailingBackslashes(path);
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::RemoveEmptyFolder(const std::string& path) {
    if (!FolderExists(path)) {
        return ERR_FILE_NOT_FOUND;
    }
    CheckChangeAllowed(path);
    const std::string prefix = Key(path) + "\\";
    const auto inside = [&](const auto& entry) { return entry.first.starts_with(prefix); };
    if (std::any_of(files.begin(), files.end(), inside) ||
        std::any_of(folders.begin(), folders.end(), inside)) {
        return ERR_DIR_NOT_EMPTY;
    }
    folders.erase(Key(path));
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::RemoveFile(const std::string& path) {
    if (!files.contains(Key(path))) {
        return FolderExists(path) ? ERR_ACCESS_DENIED : ERR_FILE_NOT_FOUND;
    }
    CheckChangeAllowed(path);
    files.erase(Key(path));
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::CopyFileOver(const std::string& source, const std::string& target) {
    const auto found = files.find(Key(source));
    if (found == files.end()) {
        return ERR_FILE_NOT_FOUND;
    }
    if (!ParentExists(target) || FolderExists(target)) {
        return ERR_PATH_NOT_FOUND;
    }
    CheckChangeAllowed(target);
    files[Key(target)] = {target, std::make_shared<std::string>(*found->second.data)};
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::MoveFileTo(const std::string& source, const std::string& target) {
    if (files.contains(Key(target)) || FolderExists(target)) {
        return ERR_ALREADY_EXISTS;
    }
    return MoveFileOver(source, target);
}

Win32Error MemoryMachine::MoveFileOver(const std::string& source, const std::string& target) {
    const auto found = files.find(Key(source));
    if (found == files.end()) {
        return ERR_FILE_NOT_FOUND;
    }
    if (!ParentExists(target) || FolderExists(target)) {
        return FolderExists(target) ? ERR_ACCESS_DENIED : ERR_PATH_NOT_FOUND;
    }
    CheckChangeAllowed(source);
    CheckChangeAllowed(target);
    File moved{target, found->second.data};
    files.erase(found);
    files[Key(target)] = std::move(moved);
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::ListFolder(const std::string& pattern,
                                     std::vector<FolderEntry>& entries) {
    entries.clear();
    const std::size_t separator = pattern.find_last_of('\\');
    if (separator == std::string::npos) {
        return ERR_PATH_NOT_FOUND;
    }
    const std::string folder = pattern.substr(0, separator);
    const std::string namePattern = pattern.substr(separator + 1);
    if (!FolderExists(folder)) {
        return ERR_PATH_NOT_FOUND;
    }
    const std::string prefix = Key(folder) + "\\";
    const auto isChild = [&prefix](const std::string& key) {
        return key.starts_with(prefix) && key.find('\\', prefix.size()) == std::string::npos;
    };
    for (const auto& [key, path] : folders) {
        const std::string name = GetFileNamePart(path);
        if (isChild(key) && MatchesPattern(name, namePattern)) {
            entries.push_back(FolderEntry{name, ATTR_DIRECTORY, 0});
        }
    }
    for (const auto& [key, file] : files) {
        const std::string name = GetFileNamePart(file.path);
        if (isChild(key) && MatchesPattern(name, namePattern)) {
            entries.push_back(FolderEntry{name, ATTR_ARCHIVE, file.data->size()});
        }
    }
    return entries.empty() ? ERR_FILE_NOT_FOUND : ERR_SUCCESS;
}

Win32Error MemoryMachine::LongPathName(const std::string& path, std::string& longPath) {
    if (!FolderExists(path) && !files.contains(Key(path))) {
        longPath.clear();
        return ERR_FILE_NOT_FOUND;
    }
    longPath = path;
    return ERR_SUCCESS;
}

// Every path here is absolute and spelled long.
Win32Error MemoryMachine::FullPathName(const std::string& path, std::string& fullPath) {
    return LongPathName(path, fullPath);
}

Win32Error MemoryMachine::TempPath(std::string& folder) {
    folder = "C:\\Temp\\";
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::UniqueTempFile(const std::string& folder, const std::string& prefix,
                                         std::string& path) {
    char number[16];
    std::snprintf(number, sizeof number, "%X", ++uniqueNumber);
    path = WithoutTrailingBackslashes(folder) + "\\" + prefix + number + ".tmp";
    PutFile(path, {});
    return ERR_SUCCESS;
}

// The Linux backend's conversion: the fuzzers run on Linux.
Win32Error MemoryMachine::ArchiveNameToAnsi(const std::string& bytes, bool isUtf8,
                                            std::string& name) {
    return wine::ArchiveNameToAnsi(bytes, isUtf8, name);
}

Win32Error MemoryMachine::FreeDiskSpace(const std::string&, std::uint64_t& bytes) {
    bytes = FREE_SPACE;
    return ERR_SUCCESS;
}

std::unique_ptr<FileStream> MemoryMachine::OpenFile(const std::string& path, FileMode mode,
                                                    Win32Error& error) {
    error = ERR_SUCCESS;
    if (mode == FileMode::Read) {
        const auto found = files.find(Key(path));
        if (found == files.end()) {
            error = ERR_FILE_NOT_FOUND;
            return nullptr;
        }
        return std::make_unique<MemoryStream>(found->second.data);
    }
    if (!ParentExists(path) || FolderExists(path)) {
        error = FolderExists(path) ? ERR_ACCESS_DENIED : ERR_PATH_NOT_FOUND;
        return nullptr;
    }
    CheckChangeAllowed(path);
    const auto found = files.find(Key(path));
    if (mode == FileMode::Append && found != files.end()) {
        auto stream = std::make_unique<MemoryStream>(found->second.data);
        stream->Seek(0, 2);
        return stream;
    }
    auto data = std::make_shared<std::string>();
    files[Key(path)] = {path, data};
    return std::make_unique<MemoryStream>(data);
}

Win32Error MemoryMachine::ModulePath(std::string& path) {
    path = "C:\\Parvane\\Parvane.exe";
    return ERR_SUCCESS;
}

Win32Error MemoryMachine::ProcessImageNames(std::vector<std::string>& names) {
    names.clear();
    return ERR_SUCCESS;
}

std::uint32_t MemoryMachine::RunCommand(const std::string&) {
    return 2;
}

}  // namespace parvane::fuzz
