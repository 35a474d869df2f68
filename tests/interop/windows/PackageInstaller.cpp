// Installs one package through the Win32 backend, as the program does when an archive is
// opened, with settings under which nothing is asked, for the interoperability tests that
// compare it with an installation by the Wine backend (the catalogue is left empty):
//   parvane-package-installer <archive> <target folder>
// Exit status 0 when the package was installed without a single message.

#include <cstdio>
#include <memory>
#include <string>

#include "archive/Folders.h"
#include "installer/InstallArchive.h"
#include "platform/UserInterface.h"
#include "platform/win32/Win32Machine.h"
#include "properties/Properties.h"

namespace {

// Messages go to the error stream and are counted; there is nobody to answer questions.
class ErrorStreamInterface final : public parvane::UserInterface {
  public:
    int ShowMessageBox(const std::string& text, const std::string&, std::uint32_t) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++messages;
        return parvane::ANSWER_OK;
    }
    bool OpenFile(const parvane::OpenFileRequest&, std::string&, std::uint32_t&) override {
        return false;
    }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, parvane::DialogProcedure&) override { return -1; }

    int messages = 0;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace parvane;
    if (argc != 3) {
        std::fprintf(stderr, "usage: parvane-package-installer <archive> <target folder>\n");
        return 2;
    }
    const std::unique_ptr<Machine> machine = win32::MakeWin32Machine();
    ErrorStreamInterface userInterface;
    SetMachine(machine.get());
    SetUserInterface(&userInterface);
    SetProperty(PROPERTY_TARGET_FOLDER, argv[2]);
    for (const char* key : {PROPERTY_WARN_ON_OVERWRITE_FILE, PROPERTY_ASK_FOR_TARGET_FOLDER,
                            PROPERTY_ASK_FOR_INSTALL_PROCEED, PROPERTY_ASK_FOR_FLAG}) {
        SetProperty(key, "0");
    }
    InstallResult result;
    const bool installed = InstallArchive(argv[1], result);
    RemoveFolder(GetTempExtractionFolder());
    SetMachine(nullptr);
    return installed && userInterface.messages == 0 ? 0 : 1;
}
