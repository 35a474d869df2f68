// Writes one string value below HKEY_LOCAL_MACHINE through the Win32 backend, as the program
// registers content, for the interoperability tests that then read the prefix's files:
//   parvane-registry-writer <key> <value name> <text>

#include <cstdio>
#include <string>

#include "platform/win32/Win32Machine.h"

int main(int argc, char** argv) {
    using namespace parvane;
    if (argc != 4) {
        std::fprintf(stderr, "usage: parvane-registry-writer <key> <value name> <text>\n");
        return 2;
    }
    const std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    KeyHandle key = 0;
    Win32Error status = machine->CreateKey(Hive::LocalMachine, argv[1], "Parvane", key);
    if (status != ERR_SUCCESS) {
        std::fprintf(stderr, "RegCreateKeyEx returned %lu\n", static_cast<unsigned long>(status));
        return 1;
    }
    status = machine->SetValue(key, argv[2], REGTYPE_SZ, argv[3]);
    machine->CloseKey(key);
    if (status != ERR_SUCCESS) {
        std::fprintf(stderr, "RegSetValueEx returned %lu\n", static_cast<unsigned long>(status));
        return 1;
    }
    return 0;
}
