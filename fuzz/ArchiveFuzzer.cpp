// An archive from the internet, unpacked with its inner archives and classified as a package
// on a machine in memory: whatever it holds, nothing is written or deleted outside the
// extraction folder, and every file written lies directly in it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MemoryMachine.h"
#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "installer/ClassifyPackage.h"
#include "platform/AsciiCase.h"
#include "platform/UserInterface.h"
#include "properties/Properties.h"
#include "support/ProcessStateResets.h"

using namespace parvane;

namespace {

constexpr const char* ARCHIVE = "C:\\Downloads\\package.zip";
constexpr const char* FOLDER = "C:\\Temp\\PRV1.tmp";

// Every box is acknowledged, every question declined, every dialog cancelled.
class DecliningUserInterface final : public UserInterface {
  public:
    int ShowMessageBox(const std::string&, const std::string&, std::uint32_t flags) override {
        return (flags & MSGBOX_YESNO) != 0 ? ANSWER_NO : ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t& dialogError) override {
        dialogError = 0;
        return false;
    }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }
};

void CheckWrittenFilesLieDirectlyInTheFolder(const fuzz::MemoryMachine& machine) {
    const std::string prefix = ToUpperAscii(FOLDER) + "\\";
    for (const std::string& file : machine.FilesUnder(FOLDER)) {
        const std::string rest = ToUpperAscii(file).substr(prefix.size());
        if (rest.find_first_of("\\/") != std::string::npos) {
            std::fprintf(stderr, "written below the extraction folder: %s\n", file.c_str());
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::MemoryMachine machine;
    DecliningUserInterface userInterface;
    SetMachine(&machine);
    SetUserInterface(&userInterface);
    machine.PutFolder("C:\\Downloads");
    machine.PutFile(ARCHIVE, std::string(reinterpret_cast<const char*>(data), size));
    machine.AllowChangesUnder(FOLDER);
    ResetProperties();
    SetProperty(PROPERTY_TARGET_FOLDER, "C:\\Games\\Greenvale 06");
    SetProperty(PROPERTY_USE_DEFAULT_LIBRARY_FOLDER, "1");

    ClearOriginLists();
    if (ExtractArchive(ARCHIVE, FOLDER, true)) {
        ClassifyPackage(FOLDER);
    }
    CheckWrittenFilesLieDirectlyInTheFolder(machine);
    SetUserInterface(nullptr);
    SetMachine(nullptr);
    return 0;
}
