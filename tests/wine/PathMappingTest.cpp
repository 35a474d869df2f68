// Windows paths of a Wine prefix and their host paths.

#include <gtest/gtest.h>

#include "platform/wine/PathMapping.h"
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

    std::string WindowsPathOf(const std::filesystem::path& hostPath) {
        std::string windowsPath;
        EXPECT_EQ(WindowsPathOfHostPath(prefix, hostPath, windowsPath), ERR_SUCCESS);
        return windowsPath;
    }

    test::TestPrefix testPrefix;
    const std::filesystem::path prefix = testPrefix.Folder();
    const std::filesystem::path driveC = testPrefix.DriveC();
};

TEST_F(PathMapping, DriveLettersGoThroughTheDosdevicesLinksToTheExactSpelling) {
    EXPECT_EQ(Resolved("C:\\Games").path, prefix / "dosdevices" / "c:" / "Games");
    EXPECT_EQ(Resolved("z:\\etc\\hostname").path,
              prefix / "dosdevices" / "z:" / "etc" / "hostname");
    // The exact spelling wins over another case.
    Touch(driveC / "x" / "NAME");
    Touch(driveC / "x" / "name");
    EXPECT_EQ(std::filesystem::path(Resolved("C:\\x\\name").path).filename(), "name");
    EXPECT_EQ(std::filesystem::path(Resolved("C:\\x\\NAME").path).filename(), "NAME");
}

// Names are found ignoring case, Latin-1 letters too, and spelled as on disk, in UTF-8.
TEST_F(PathMapping, AccentedLettersFoldLikeAsciiAndAreUtf8OnDisk) {
    Touch(driveC / "Caf\xC3\xA9" / "R\xC3\xA9sum\xC3\xA9.txt");
    const HostPath host = Resolved("C:\\CAF\xC9\\r\xE9sum\xE9.TXT");
    EXPECT_TRUE(host.Exists());
    EXPECT_EQ(std::filesystem::path(host.path).filename(), "R\xC3\xA9sum\xC3\xA9.txt");
    EXPECT_EQ(FormatWindowsPath(host.windows), "C:\\Caf\xE9\\R\xE9sum\xE9.txt");
    EXPECT_EQ(std::filesystem::path(Resolved("C:\\CAF\xC9\\cr\xE8me.tcr").path).filename(),
              "cr\xC3\xA8me.tcr");
}

TEST_F(PathMapping, MissingNamesKeepTheCaseAskedForAndAreCounted) {
    std::filesystem::create_directories(driveC / "Games");
    const HostPath host = Resolved("C:\\games\\New Course\\Hole1.tcr");
    EXPECT_EQ(host.missingComponents, 2u);
    EXPECT_EQ(host.path, prefix / "dosdevices" / "c:" / "Games" / "New Course" / "Hole1.tcr");
    EXPECT_EQ(NotFoundError(host), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(NotFoundError(Resolved("C:\\Games\\none.tcr")), ERR_FILE_NOT_FOUND);
}

TEST_F(PathMapping, BothSeparatorsDotsAndTrailingDotsAreNormalised) {
    Touch(driveC / "a" / "b.txt");
    EXPECT_EQ(Resolved("C:/a/./x/../b.txt").path, Resolved("C:\\a\\b.txt").path);
    EXPECT_EQ(Resolved("C:\\a\\b.txt. ").path, Resolved("C:\\a\\b.txt").path);
    EXPECT_EQ(Resolved("C:\\..\\..\\a").windows.components, std::vector<std::string>{"a"});
}

TEST_F(PathMapping, ForbiddenCharactersUnknownDrivesAndOverlongPathsAreRefused) {
    HostPath host;
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\a*b", host), ERR_INVALID_NAME);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\a:b", host), ERR_INVALID_NAME);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\a|b", host), ERR_INVALID_NAME);
    EXPECT_EQ(ResolveWindowsPath(prefix, "\\\\server\\share\\x", host), ERR_BAD_PATHNAME);
    EXPECT_EQ(ResolveWindowsPath(prefix, "", host), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(ResolveWindowsPath(prefix, "Q:\\x", host), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\" + std::string(257, 'a'), host),
              ERR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(ResolveWindowsPath(prefix, "C:\\" + std::string(256, 'a'), host), ERR_SUCCESS);
}

// The terminal's own tests cover paths of drive C and Z and paths outside every drive.
TEST_F(PathMapping, HostPathsBecomeWindowsPathsOfTheDeepestDriveOrNone) {
    EXPECT_EQ(WindowsPathOf(driveC), "C:\\");
    EXPECT_EQ(WindowsPathOf("/"), "Z:\\");
    std::filesystem::create_directories(driveC / "Games");
    std::filesystem::create_directory_symlink(driveC / "Games", prefix / "dosdevices" / "d:");
    EXPECT_EQ(WindowsPathOf(driveC / "Games" / "Golf"), "D:\\Golf");
    EXPECT_EQ(WindowsPathOf(driveC / "Other"), "C:\\Other");
    std::string windowsPath;
    EXPECT_EQ(WindowsPathOfHostPath(prefix, driveC / "\xE4\xB8\xAD.txt", windowsPath),
              ERR_NO_UNICODE_TRANSLATION);
}

TEST_F(PathMapping, RelativePathsStartInTheCurrentFolder) {
    Touch(driveC / "work" / "pack.zip");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(driveC / "work");
    const HostPath relative = Resolved("PACK.ZIP");
    const HostPath rooted = Resolved("\\work\\pack.zip");
    std::filesystem::current_path(before);
    EXPECT_TRUE(relative.Exists());
    EXPECT_EQ(FormatWindowsPath(relative.windows), "C:\\work\\pack.zip");
    EXPECT_EQ(FormatWindowsPath(rooted.windows), "C:\\work\\pack.zip");
}

}  // namespace
}  // namespace parvane::wine
