#include "support/KnownGaps.h"

#include <map>

#include "platform/win32/WindowsApi.h"

namespace parvane::test {

namespace {

// The Win32 backend is Windows' own answer, except where the Windows running the tests is
// Wine (ntdll then exports wine_get_version), whose file system is a Unix one.
bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

const KnownGap* FindKnownGap(const std::string& testName) {
    static const std::map<std::string, KnownGap> WINE_GAPS = {
        {"MachineFiles.ReadOnlyFilesAreNotOverwritten",
         {"Wine keeps the read-only attribute as the Unix write permission, which root (the user "
          "of the test machines) is not held to",
          {"ERR_ACCESS_DENIED", "seam.OpenFile(InScratch(\"kept.tcr\"), FileMode::Write, error)",
           "machine.ReadFile(InScratch(\"kept.tcr\"))"}}},
        {"DeletionGuards.LinksInsideTheGameFolderAreRemovedThemselvesAndNeverFollowed",
         {"Wine 8 makes no links for a Windows program (CreateSymbolicLinkA succeeds without "
          "making one, junctions answer 50), and its RemoveDirectoryA on a link to a folder "
          "removes the folder the link leads to when that is empty",
          {"expected but never came: Error box (0x2010) \"Parvane will not remove the folder "
           "'C:\\Program Files (x86)\\Quorlix\\Greenvale 06\\courses\\Pine\\Link\\Sub'"}}},
    };
    static const bool underWine = RunningUnderWine();
    if (!underWine) {
        return nullptr;
    }
    const auto gap = WINE_GAPS.find(testName);
    return gap == WINE_GAPS.end() ? nullptr : &gap->second;
}

}  // namespace parvane::test
