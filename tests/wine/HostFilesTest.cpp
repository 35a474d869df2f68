// The file calls on the host side of a Wine prefix: links, permissions, devices.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/wine/files/AtomicReplace.h"
#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/FileStatuses.h"
#include "platform/wine/files/HostFileStream.h"
#include "platform/wine/files/ReadToEnd.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

class HostFiles : public ::testing::Test {
  protected:
    test::TestPrefix testPrefix;
    const std::filesystem::path prefix = testPrefix.Folder();
    const std::filesystem::path driveC = testPrefix.DriveC();

    static std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(HostFiles, CopyTakesTheDataOfALinkAndThePermissionsOfTheSourceButNeverItself) {
    test::WriteHostFile(driveC / "real.tcl", "library");
    chmod((driveC / "real.tcl").c_str(), 0444);
    std::filesystem::create_symlink("real.tcl", driveC / "link.tcl");
    ASSERT_EQ(CopyFileOver(prefix, "C:\\link.tcl", "C:\\copy.tcl"), ERR_SUCCESS);
    EXPECT_FALSE(std::filesystem::is_symlink(driveC / "copy.tcl"));
    EXPECT_EQ(test::ReadHostFile(driveC / "copy.tcl"), "library");
    std::uint32_t attributes = 0;
    ASSERT_EQ(GetAttributes(prefix, "C:\\copy.tcl", attributes), ERR_SUCCESS);
    EXPECT_NE(attributes & ATTR_READONLY, 0u);
    // Onto itself.
    EXPECT_EQ(CopyFileOver(prefix, "C:\\real.tcl", "C:\\REAL.TCL"), ERR_SHARING_VIOLATION);
    EXPECT_EQ(test::ReadHostFile(driveC / "real.tcl"), "library");
}

// Many statuses at once answer as one GetFileStatus after the other, also for the paths the
// quick way cannot take: another letter case, links, folders, names Windows alters, missing
// names and folders, malformed and relative paths. Enough paths for several threads.
TEST_F(HostFiles, StatusesTakenTogetherAreThoseTakenOneByOne) {
    std::filesystem::create_directories(driveC / "Pack" / "Sub");
    test::WriteHostFile(driveC / "Pack" / "Real.tcl", "library");
    test::WriteHostFile(driveC / "Pack" / ".hidden.tcl", "hidden");
    std::filesystem::create_directories(driveC / "Solo");
    test::WriteHostFile(driveC / "Solo" / ".alone.tcl", "hidden alone in its folder");
    // Each alone in a folder of its own below another: courses lie so.
    test::WriteHostFile(driveC / "Pack" / "One" / ".alone.tcr", "hidden alone, one folder down");
    test::WriteHostFile(driveC / "Pack" / "Two" / "Course.tcr", "alone, one folder down");
    chmod((driveC / "Pack" / "Real.tcl").c_str(), 0444);
    std::filesystem::create_symlink("Real.tcl", driveC / "Pack" / "link.tcl");
    std::filesystem::create_symlink("nowhere", driveC / "Pack" / "dangling.tcl");
    std::filesystem::create_directory_symlink("Pack", driveC / "Linked");
    // Names the host holds but a Windows path cannot reach as spelled.
    test::WriteHostFile(driveC / "Pack" / "Trail.tcl.", "trailing dot");
    test::WriteHostFile(driveC / "Pack" / "a|b", "forbidden");
    std::string tooLong = "C:";
    std::filesystem::path deep = driveC;
    for (const char letter : {'a', 'b', 'c', 'd', 'e'}) {
        tooLong += "\\" + std::string(50, letter);
        deep /= std::string(50, letter);
    }
    std::filesystem::create_directories(deep);
    test::WriteHostFile(deep / "Real.tcl", "too deep for Windows");
    std::vector<std::string> paths = {tooLong + "\\Real.tcl",
                                      "C:\\Pack\\Trail.tcl.",
                                      "C:\\Pack\\Real.tcl",
                                      "C:\\PACK\\real.TCL",
                                      "c:/Pack/Real.tcl",
                                      "C:\\Pack\\Real.tcl.",
                                      "C:\\Pack\\.hidden.tcl",
                                      "C:\\Pack\\link.tcl",
                                      "C:\\Pack\\dangling.tcl",
                                      "C:\\Pack\\Sub",
                                      "C:\\Pack\\Sub\\",
                                      "C:\\Pack\\Sub\\..\\Real.tcl",
                                      "C:\\Pack\\\\Real.tcl",
                                      "C:\\Pack\\missing.tcl",
                                      "C:\\Gone\\Real.tcl",
                                      "C:\\Pack\\Real.tcl\\x",
                                      "Q:\\Pack\\x",
                                      "C:\\Pack\\a|b",
                                      "C:\\Linked\\Real.tcl",
                                      "C:\\Solo\\.alone.tcl",
                                      "C:\\Pack\\One\\.alone.tcr",
                                      "C:\\Pack\\Two\\Course.tcr",
                                      "C:\\Pack\\Three\\missing.tcr",
                                      "C:\\Pack\\link.tcl\\alone.tcr",
                                      "Real.tcl",
                                      "C:",
                                      "C:\\" + std::string(300, 'n')};
    for (int copy = 0; copy < 200; ++copy) {
        paths.push_back(copy % 2 == 0 ? "C:\\Pack\\Real.tcl"
                                      : "C:\\Pack\\x" + std::to_string(copy));
    }
    // Names after a path of the same folder.
    for (const char* name : {"a|b", "Real.tcl.", "Real.tcl ", "Sub\\..\\Real.tcl", "\\Real.tcl"}) {
        paths.push_back(std::string("C:\\Pack\\") + name);
    }
    std::vector<PathStatus> together;
    GetFileStatuses(prefix, std::vector<std::string_view>(paths.begin(), paths.end()), together);
    ASSERT_EQ(together.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        FileStatus alone;
        EXPECT_EQ(together[i].error, GetFileStatus(prefix, paths[i], alone)) << paths[i];
        EXPECT_EQ(together[i].status.attributes, alone.attributes) << paths[i];
        EXPECT_EQ(together[i].status.size, alone.size) << paths[i];
        EXPECT_EQ(together[i].status.modified, alone.modified) << paths[i];
    }
    EXPECT_EQ(together[0].error, ERR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(together[2].status.attributes, ATTR_ARCHIVE | ATTR_READONLY);
}

TEST_F(HostFiles, AFullDiskIsReportedWhenTheStreamIsWrittenOut) {
    if (access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    std::filesystem::create_directory_symlink("/dev", prefix / "dosdevices" / "f:");
    Win32Error error = ERR_SUCCESS;
    auto file = OpenFile(prefix, "F:\\full", FileMode::Write, error);
    ASSERT_NE(file, nullptr);
    const std::string data(100000, 'x');
    const std::size_t written = file->Write(data.data(), data.size());
    const Win32Error closed = file->Close();
    EXPECT_TRUE(written < data.size() || closed == ERR_DISK_FULL);
    EXPECT_EQ(file->Error(), ERR_DISK_FULL);
}

// A replacement that fails while writing, at the rename or before the new file exists leaves the
// old file whole and nothing beside it; one that succeeds leaves the new content alone.
// What gives no size, as the files of /proc do, is read whole however long it runs.
TEST(HostFileText, ReadToEndTakesAllOfWhatGivesNoSize) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    std::string sent;
    while (sent.size() < 100'000) {
        sent += std::to_string(sent.size()) + '=';
    }
    std::thread writer([&] {
        for (std::size_t at = 0; at < sent.size();) {
            const ssize_t count = send(ends[1], sent.data() + at, sent.size() - at, MSG_NOSIGNAL);
            if (count <= 0) {
                break;
            }
            at += static_cast<std::size_t>(count);
        }
        close(ends[1]);
    });
    std::string text;
    EXPECT_TRUE(ReadToEnd(ends[0], text));
    close(ends[0]);  // a reader that stopped early leaves the writer stopped, not waiting
    writer.join();
    EXPECT_EQ(text, sent);
}

TEST_F(HostFiles, AFileIsReplacedWholeOrNotAtAll) {
    const std::filesystem::path target = driveC / "course.tcr";
    test::WriteHostFile(target, "old");
    std::filesystem::create_directories(driveC / "folder" / "inside");
    const std::vector<std::string> namesBefore = NamesIn(driveC);
    const auto writeNew = [](int descriptor) {
        return write(descriptor, "new", 3) == 3 ? 0 : errno;
    };
    const auto failHalfWay = [&](int descriptor) {
        return writeNew(descriptor) == 0 ? ENOSPC : errno;
    };

    const ReplaceResult halfWay = ReplaceFileAtomically(target, failHalfWay);
    EXPECT_EQ(halfWay.failedStep, ReplaceStep::Writing);
    EXPECT_EQ(halfWay.error, ENOSPC);
    const ReplaceResult overFolder = ReplaceFileAtomically(driveC / "folder", writeNew);
    EXPECT_EQ(overFolder.failedStep, ReplaceStep::Renaming);
    EXPECT_EQ(overFolder.failedPath, driveC / "folder");
    const ReplaceResult nowhere = ReplaceFileAtomically(driveC / "missing" / "file", writeNew);
    EXPECT_EQ(nowhere.failedStep, ReplaceStep::CreatingTemporary);
    EXPECT_EQ(nowhere.error, ENOENT);
    EXPECT_EQ(test::ReadHostFile(target), "old");
    EXPECT_TRUE(std::filesystem::is_directory(driveC / "folder" / "inside"));

    EXPECT_TRUE(ReplaceFileAtomically(target, writeNew).Replaced());
    EXPECT_EQ(test::ReadHostFile(target), "new");
    EXPECT_EQ(NamesIn(driveC), namesBefore);
}

}  // namespace
}  // namespace parvane::wine
