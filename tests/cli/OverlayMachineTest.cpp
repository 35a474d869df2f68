// The machine of a dry run: the program reads back every change it made, the machine below
// keeps none, and the changes that last are listed.

#include <gtest/gtest.h>

#include "app/cli/OverlayMachine.h"
#include "support/TestMachine.h"

namespace parvane::cli {
namespace {

std::string ReadAll(Machine& machine, const std::string& path) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> stream = machine.OpenFile(path, FileMode::Read, error);
    std::string data(64, '\0');
    data.resize(stream ? stream->Read(data.data(), data.size()) : 0);
    return stream ? data : "(error " + std::to_string(error) + ")";
}

std::vector<std::string> Listed(Machine& machine, const std::string& pattern) {
    std::vector<FolderEntry> entries;
    machine.ListFolder(pattern, entries);
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name + ":" + std::to_string(entry.size));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OverlayMachine, FilesChangedAreSeenThroughItOnlyAndTheLastingChangesAreListed) {
    test::TestMachine real;
    const std::string root = real.ScratchFolder();
    real.WriteFile(root + "\\old\\keep.txt", "kept");
    real.WriteFile(root + "\\old\\gone.txt", "gone");
    std::string temp;
    ASSERT_EQ(real.GetMachine().TempPath(temp), ERR_SUCCESS);
    real.WriteFile(temp + "PRV1.tmp\\unpacked.tcr", "course");  // as unpacked
    {
        OverlayMachine overlay(real.GetMachine());
        EXPECT_EQ(overlay.MakeFolder(root + "\\new\\"), ERR_SUCCESS);
        EXPECT_EQ(overlay.MakeFolder(root + "\\none\\deeper"), ERR_PATH_NOT_FOUND);
        EXPECT_EQ(overlay.CopyFileOver(temp + "PRV1.tmp\\unpacked.tcr", root + "\\new\\a.tcr"),
                  ERR_SUCCESS);
        EXPECT_EQ(overlay.RemoveFile(temp + "PRV1.tmp\\unpacked.tcr"),
                  ERR_SUCCESS);  // really: scratch
        EXPECT_EQ(ReadAll(overlay, root + "\\NEW\\A.TCR"), "course");
        Win32Error error = ERR_SUCCESS;
        std::unique_ptr<FileStream> stream =
            overlay.OpenFile(root + "\\old\\keep.txt.new", FileMode::Write, error);
        ASSERT_TRUE(stream);
        stream->Write("written", 7);
        stream->Close();
        EXPECT_EQ(overlay.MoveFileOver(root + "\\old\\keep.txt.new", root + "\\old\\keep.txt"),
                  ERR_SUCCESS);
        EXPECT_EQ(overlay.RemoveFile(root + "\\old\\gone.txt"), ERR_SUCCESS);
        EXPECT_EQ(overlay.RemoveEmptyFolder(root + "\\old"), ERR_DIR_NOT_EMPTY);
        EXPECT_EQ(Listed(overlay, root + "\\old\\*"),
                  (std::vector<std::string>{"..:0", ".:0", "keep.txt:7"}));
        EXPECT_EQ(Listed(overlay, root + "\\new\\*.tcr"), std::vector<std::string>{"a.tcr:6"});
        EXPECT_EQ(ReadAll(overlay, root + "\\old\\gone.txt"), "(error 2)");
        EXPECT_EQ(overlay.PlannedChanges(),
                  (std::vector<std::string>{"create folder " + root + "\\new\\",
                                            "copy unpacked.tcr to " + root + "\\new\\a.tcr",
                                            "rewrite " + root + "\\old\\keep.txt",
                                            "delete " + root + "\\old\\gone.txt"}));
    }
    EXPECT_EQ(test::FilesBelow(root), (std::vector<std::string>{"old\\gone.txt", "old\\keep.txt"}));
    EXPECT_EQ(real.ReadFile(root + "\\old\\keep.txt"), "kept");
    // The program's own scratch file is gone, and no shadow file is left.
    EXPECT_EQ(test::FilesBelow(temp), std::vector<std::string>{});
}

TEST(OverlayMachine, KeysCreatedAndDeletedAreSeenThroughItOnly) {
    test::TestMachine real;
    const std::string courses = std::string(test::GAME_KEY) + "\\Courses";
    real.SetString(Hive::LocalMachine, courses + "\\{OLD}", "Name", "Old");
    {
        OverlayMachine overlay(real.GetMachine());
        KeyHandle key = 0;
        ASSERT_EQ(overlay.CreateKey(Hive::LocalMachine, courses + "\\{NEW}\\Sub", "", key),
                  ERR_SUCCESS);
        EXPECT_EQ(overlay.SetValue(key, "Name", REGTYPE_SZ, "New"), ERR_SUCCESS);
        std::uint32_t type = 0;
        std::string data;
        EXPECT_EQ(overlay.QueryValue(key, "name", 4, type, data), ERR_SUCCESS);
        EXPECT_EQ(data, std::string("New\0", 4));
        EXPECT_EQ(overlay.QueryValue(key, "name", 3, type, data), ERR_MORE_DATA);
        overlay.CloseKey(key);
        EXPECT_EQ(overlay.DeleteKey(Hive::LocalMachine, courses + "\\{new}"), ERR_ACCESS_DENIED);
        EXPECT_EQ(overlay.DeleteKey(Hive::LocalMachine, courses + "\\{OLD}"), ERR_SUCCESS);
        ASSERT_EQ(overlay.OpenKey(Hive::LocalMachine, courses, key), ERR_SUCCESS);
        std::string name;
        EXPECT_EQ(overlay.EnumKey(key, 0, 64, name), ERR_SUCCESS);
        EXPECT_EQ(name, "{NEW}");
        EXPECT_EQ(overlay.EnumKey(key, 1, 64, name), ERR_NO_MORE_ITEMS);
        overlay.CloseKey(key);
        EXPECT_EQ(overlay.OpenKey(Hive::LocalMachine, courses + "\\{OLD}", key),
                  ERR_FILE_NOT_FOUND);
        const std::string shown = "HKEY_LOCAL_MACHINE\\" + courses;
        EXPECT_EQ(overlay.PlannedChanges(),
                  (std::vector<std::string>{"create key " + shown + "\\{NEW}",
                                            "create key " + shown + "\\{NEW}\\Sub",
                                            "set " + shown + "\\{NEW}\\Sub \"Name\" = \"New\"",
                                            "delete key " + shown + "\\{OLD}"}));
    }
    EXPECT_TRUE(real.KeyExists(Hive::LocalMachine, courses + "\\{OLD}"));
    EXPECT_FALSE(real.KeyExists(Hive::LocalMachine, courses + "\\{NEW}"));
}

}  // namespace
}  // namespace parvane::cli
