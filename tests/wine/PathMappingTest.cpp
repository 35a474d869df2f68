// Windows paths of a Wine prefix and their host paths.

#include <gtest/gtest.h>

#include "platform/wine/paths/PathMapping.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

// A prefix on disk, without a machine over it: the mapping needs none.
class PathMapping : public ::testing::Test {
  protected:
    static void Touch(const std::filesystem::path& path) { test::WriteHostFile(path, "x"); }

    HostPath Resolved(const std::string& windowsPath) {
        HostPath host;
        EXPECT_EQ(ResolveWindowsPath(prefix, windowsPath, host), ERR_SUCCESS) << windowsPath;
        return host;
    }

    test::TestPrefix testPrefix;
    const std::filesystem::path prefix = testPrefix.Folder();
    const std::filesystem::path driveC = testPrefix.DriveC();
};

TEST_F(PathMapping, DriveLettersGoThroughTheDosdevicesLinksToTheExactSpelling) {
    EXPECT_EQ(Resolved("z:\\etc\\hostname").path,
              prefix / "dosdevices" / "z:" / "etc" / "hostname");
    // The exact spelling wins over another case.
    Touch(driveC / "x" / "NAME");
    Touch(driveC / "x" / "name");
    EXPECT_EQ(std::filesystem::path(Resolved("C:\\x\\name").path).filename(), "name");
    EXPECT_EQ(std::filesystem::path(Resolved("C:\\x\\NAME").path).filename(), "NAME");
}

TEST_F(PathMapping, DotsStayOnTheDriveAndBadNamesAreRefused) {
    Touch(driveC / "a" / "b.txt");
    EXPECT_EQ(Resolved("C:/a/./x/../b.txt. ").path, Resolved("C:\\a\\b.txt").path);
    EXPECT_EQ(Resolved("C:\\..\\..\\a").windows.components, std::vector<std::string>{"a"});
    HostPath host;
    for (const char* name : {"C:\\a*b", "C:\\a:b", "C:\\a|b"}) {
        EXPECT_EQ(ResolveWindowsPath(prefix, name, host), ERR_INVALID_NAME) << name;
    }
    EXPECT_EQ(ResolveWindowsPath(prefix, "\\\\server\\share\\x", host), ERR_BAD_PATHNAME);
    EXPECT_EQ(ResolveWindowsPath(prefix, "", host), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(ResolveWindowsPath(prefix, "Q:\\x", host), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\" + std::string(257, 'a'), host),
              ERR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\" + std::string(256, 'a'), host), ERR_SUCCESS);
}

}  // namespace
}  // namespace parvane::wine
