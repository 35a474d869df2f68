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

const char* KnownGapReason(const std::string& testName) {
    static const std::map<std::string, const char*> WINE_GAPS = {
        {"MachineFiles.ReadOnlyFilesAreNotOverwritten",
         "Wine keeps the read-only attribute as the Unix write permission, which root (the user "
         "of the test machines) is not held to"},
        {"DeletionGuards.LinksInsideTheGameFolderAreRemovedThemselvesAndNeverFollowed",
         "Wine 8 makes no links for a Windows program (CreateSymbolicLinkA succeeds without "
         "making one, junctions answer 50), and its RemoveDirectoryA on a link to a folder "
         "removes the folder the link leads to when that is empty"},
    };
    static const bool underWine = RunningUnderWine();
    if (!underWine) {
        return nullptr;
    }
    const auto gap = WINE_GAPS.find(testName);
    return gap == WINE_GAPS.end() ? nullptr : gap->second;
}

}  // namespace parvane::test
