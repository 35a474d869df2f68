// The file calls on the host side of a Wine prefix: links, permissions, devices.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/HostFileStream.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

class HostFiles : public ::testing::Test {
  protected:
    test::TestPrefix testPrefix;
    const std::filesystem::path prefix = testPrefix.Folder();
    const std::filesystem::path driveC = testPrefix.DriveC();
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

}  // namespace
}  // namespace parvane::wine
