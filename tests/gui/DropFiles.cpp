// Drops files on a window as the shell does when files are dragged onto it: the window gets
// WM_DROPFILES with a drop handle in its own process, a fixed block that starts with DROPFILES
// and lists the paths, each ended by a NUL, with a NUL after the last (a handle of this
// process would mean nothing there).
//   parvane-drop-files "WINDOW TITLE" FILE...

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<char> DropBlock(int count, char** paths) {
    std::vector<char> block(sizeof(DROPFILES), '\0');
    for (int index = 0; index < count; ++index) {
        block.insert(block.end(), paths[index], paths[index] + std::strlen(paths[index]) + 1);
    }
    block.push_back('\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.pt = {40, 40};
    header.fWide = FALSE;
    std::memcpy(block.data(), &header, sizeof header);
    return block;
}

int Fail(const char* what) {
    std::fprintf(stderr, "parvane-drop-files: %s failed, error %lu\n", what, GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: parvane-drop-files WINDOW-TITLE FILE...\n");
        return 2;
    }
    HWND window = FindWindowA(nullptr, argv[1]);
    if (window == nullptr) {
        return Fail("FindWindowA");
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return Fail("OpenProcess");
    }
    const std::vector<char> block = DropBlock(argc - 2, argv + 2);
    void* drop =
        VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool posted =
        drop != nullptr &&
        WriteProcessMemory(process, drop, block.data(), block.size(), nullptr) != FALSE &&
        PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0) != FALSE;
    const int status = posted ? 0 : Fail("handing over the drop");
    CloseHandle(process);
    return status;
}
