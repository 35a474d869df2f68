#include "platform/win32/Win32Files.h"

#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

namespace {

Win32Error ResultOf(BOOL succeeded) {
    return succeeded ? ERR_SUCCESS : static_cast<Win32Error>(GetLastError());
}

std::uint64_t SizeOf(const WIN32_FIND_DATAA& found) {
    return (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

FolderEntry EntryOf(const WIN32_FIND_DATAA& found) {
    return FolderEntry{found.cFileName, found.dwFileAttributes, SizeOf(found)};
}

// Calls `fill(buffer, capacity)`, a Win32 function that returns the length of its text, or
// the capacity it needs when the buffer is too small, or 0 on failure; grows the buffer until
// the text fits.
template <typename Fill>
Win32Error FetchText(Fill fill, std::string& text) {
    std::string buffer(MAX_PATH + 1, '\0');
    for (;;) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return static_cast<Win32Error>(GetLastError());
        }
        if (length < buffer.size()) {
            text.assign(buffer.data(), length);
            return ERR_SUCCESS;
        }
        buffer.resize(length + 1);
    }
}

}  // namespace

Win32Error GetFileAttributesOf(const std::string& path, std::uint32_t& attributes) {
    attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? static_cast<Win32Error>(GetLastError())
                                                 : ERR_SUCCESS;
}

Win32Error GetFileStatusOf(const std::string& path, FileStatus& status) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        status = FileStatus{};
        return static_cast<Win32Error>(GetLastError());
    }
    status.attributes = data.dwFileAttributes;
    status.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.modified = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return ERR_SUCCESS;
}

Win32Error MakeFolder(const std::string& path) {
    return ResultOf(CreateDirectoryA(path.c_str(), nullptr));
}

Win32Error RemoveEmptyFolder(const std::string& path) {
    return ResultOf(RemoveDirectoryA(path.c_str()));
}

Win32Error RemoveFile(const std::string& path) {
    return ResultOf(DeleteFileA(path.c_str()));
}

Win32Error CopyFileOver(const std::string& source, const std::string& target) {
    return ResultOf(CopyFileA(source.c_str(), target.c_str(), FALSE));
}

Win32Error MoveFileTo(const std::string& source, const std::string& target) {
    return ResultOf(MoveFileA(source.c_str(), target.c_str()));
}

Win32Error MoveFileOver(const std::string& source, const std::string& target) {
    return ResultOf(
        MoveFileExA(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH));
}

Win32Error ListFolder(const std::string& pattern, std::vector<FolderEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return static_cast<Win32Error>(GetLastError());
    }
    do {
        entries.push_back(EntryOf(found));
    } while (FindNextFileA(search, &found));
    const DWORD ending = GetLastError();
    FindClose(search);
    return ending == ERROR_NO_MORE_FILES ? ERR_SUCCESS : static_cast<Win32Error>(ending);
}

Win32Error LongPathName(const std::string& path, std::string& longPath) {
    return FetchText(
        [&path](char* buffer, DWORD capacity) {
            return GetLongPathNameA(path.c_str(), buffer, capacity);
        },
        longPath);
}

Win32Error FullPathName(const std::string& path, std::string& fullPath) {
    std::string absolute;
    const Win32Error error = FetchText(
        [&path](char* buffer, DWORD capacity) {
            return GetFullPathNameA(path.c_str(), capacity, buffer, nullptr);
        },
        absolute);
    if (error != ERR_SUCCESS) {
        fullPath.clear();
        return error;
    }
    return LongPathName(absolute, fullPath);
}

Win32Error TempPath(std::string& folder) {
    return FetchText([](char* buffer, DWORD capacity) { return GetTempPathA(capacity, buffer); },
                     folder);
}

Win32Error UniqueTempFile(const std::string& folder, const std::string& prefix, std::string& path) {
    char buffer[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer) == 0) {
        return static_cast<Win32Error>(GetLastError());
    }
    path = buffer;
    return ERR_SUCCESS;
}

Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) {
        return static_cast<Win32Error>(GetLastError());
    }
    bytes = available.QuadPart;
    return ERR_SUCCESS;
}

}  // namespace parvane::win32
