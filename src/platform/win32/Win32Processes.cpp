#include "platform/win32/Win32Processes.h"

// clang-format off
#include "platform/win32/WindowsApi.h"
#include <tlhelp32.h>
// clang-format on

namespace parvane::win32 {

namespace {

// szExeFile holds the image's file name; keep only that should a path ever appear there.
std::string FileNameOf(const char* image) {
    const std::string path = image;
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

Win32Error ModulePath(std::string& path) {
    std::string buffer(MAX_PATH + 1, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return static_cast<Win32Error>(GetLastError());
        }
        // A text that fills the buffer may have been cut short.
        if (length < buffer.size()) {
            path.assign(buffer.data(), length);
            return ERR_SUCCESS;
        }
        buffer.resize(buffer.size() * 2);
    }
}

Win32Error ProcessImageNames(std::vector<std::string>& names) {
    names.clear();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return static_cast<Win32Error>(GetLastError());
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        names.push_back(FileNameOf(entry.szExeFile));
    }
    const DWORD ending = GetLastError();
    CloseHandle(snapshot);
    return ending == ERROR_NO_MORE_FILES ? ERR_SUCCESS : static_cast<Win32Error>(ending);
}

std::uint32_t RunCommand(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

}  // namespace parvane::win32
