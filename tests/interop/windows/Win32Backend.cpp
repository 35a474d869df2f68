// The Win32 backend doing what the interoperability test compares with the Wine backend:
//   parvane-win32-backend install <archive> <target folder>
// An installation asks nothing (the catalogue is left empty). Exit status 0 when it succeeded
// without a single message.

#include <cstdio>
#include <memory>
#include <string>

#include "archive/Folders.h"
#include "archive/TempExtractionFolder.h"
#include "installer/InstallArchive.h"
#include "platform/UserInterface.h"
#include "platform/win32/Win32Machine.h"
#include "properties/Properties.h"

namespace {

using namespace parvane;

// Messages go to the error stream and are counted; there is nobody to answer questions.
class ErrorStreamInterface final : public UserInterface {
  public:
    int ShowMessageBox(const std::string& text, const std::string&, std::uint32_t) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++messages;
        return ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }

    int messages = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::string(argv[1]) != "install") {
        std::fprintf(stderr, "usage: parvane-win32-backend install <archive> <target folder>\n");
        return 2;
    }
    const std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    ErrorStreamInterface userInterface;
    SetMachine(machine.get());
    SetUserInterface(&userInterface);
    SetProperty(PROPERTY_TARGET_FOLDER, argv[3]);
    for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG})
        SetProperty(key, "0");
    InstallResult result;
    const bool installed = InstallArchive(argv[2], result);
    RemoveFolder(GetTempExtractionFolder());
    SetMachine(nullptr);
    return installed && userInterface.messages == 0 ? 0 : 1;
}
