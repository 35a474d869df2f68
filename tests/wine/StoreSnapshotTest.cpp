// The store entries kept beside the registry's stamp: a later run takes them while both
// registry files are as they were, and reads the registry again once either changed at all.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "base/RegistryRoots.h"
#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "support/ContentFiles.h"
#include "support/ProcessStateResets.h"
#include "support/TestMachine.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::wine {
namespace {

namespace fs = std::filesystem;

class StoreSnapshots : public ::testing::Test {
  protected:
    StoreSnapshots() {
        for (const auto& [store, guid, name] :
             {std::tuple{GAME_COURSES_KEY, "{00000001-0000-0000-0000-000000000000}", "Links"},
              {GAME_LIBRARIES_KEY, "{00000002-0000-0000-0000-000000000000}", "Tree Pack"},
              {CLOAK_LIBRARIES_KEY, "{00000003-0000-0000-0000-000000000000}", "Rock Pack"}}) {
            const std::string key = std::string(store) + "\\" + guid;
            machine.SetString(GAME_HIVE, key, "Name", name);
            machine.SetString(GAME_HIVE, key, "Filename", machine.GameInstallDir() + "\\x.tcl");
        }
        machine.MakeFolders(StateFolder());
        Age();
    }
    ~StoreSnapshots() override {
        TheCatalogue() = Catalogue{};
        ForgetGameFolders();
    }

    fs::path SystemReg() { return test::PrefixFolder(machine) / "system.reg"; }
    std::string SnapshotFile() { return StateFolder() + "\\StoreSnapshot.bin"; }

    // Both registry files written long ago.
    void Age() {
        for (const char* name : {"system.reg", "user.reg"}) {
            fs::last_write_time(test::PrefixFolder(machine) / name,
                                fs::file_time_type::clock::now() - std::chrono::hours(1));
        }
    }

    // Replaces `from` with `to` inside system.reg, in place: the same file, written now.
    void EditRegistryInPlace(const std::string& from, const std::string& to) {
        std::fstream file(SystemReg(), std::ios::in | std::ios::out | std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        text.replace(text.find(from), from.size(), to);
        file.seekp(0);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
    }

    // The names of the four lists as the next run loads them; with `whileReadAhead`, what
    // happens while its start reads the state folder's files ahead of the load.
    std::string NamesOfNextRun(const std::function<void()>& whileReadAhead = nullptr) {
        const std::unique_ptr<Machine> next = machine.Reopened();
        Machine& before = TheMachine();
        SetMachine(next.get());
        ForgetGameFolders();
        if (whileReadAhead) {
            ReadCatalogueStateAhead();
            whileReadAhead();
        }
        std::string names;
        if (DetectSupportedGames() && LoadCatalogue()) {
            for (const auto& libraries : {GetInstalledLibraries(), GetCloakedLibraries()}) {
                for (const LibraryRecord& library : libraries) {
                    names += library.guidText + " " + library.name + "/" + library.headerName + ";";
                }
            }
            for (const CourseRecord& course : GetInstalledCourses()) {
                names += course.guidText + " " + course.name + ";";
            }
        }
        DropCatalogueStateReadAhead();
        SetMachine(&before);
        return names;
    }

    // What the next run loads, with the snapshot and without it.
    void ExpectNextRunAsWithoutSnapshot(const std::string& shown) {
        const std::string withSnapshot = NamesOfNextRun();
        EXPECT_NE(withSnapshot.find(shown), std::string::npos) << withSnapshot;
        const std::string folder = StateFolder();
        SetStateFolder({});
        EXPECT_EQ(NamesOfNextRun(), withSnapshot);
        SetStateFolder(folder);
    }

    test::TestMachine machine{{.cloakingTool = true}};
};

TEST_F(StoreSnapshots, AreTakenWhileTheRegistryFilesStayAsTheyWere) {
    ExpectNextRunAsWithoutSnapshot("Tree Pack");
    ASSERT_TRUE(machine.FileExists(SnapshotFile()));

    // Changed in place with its time put back: the same stamp, so the kept entries are shown.
    struct stat before {};
    ASSERT_EQ(stat(SystemReg().c_str(), &before), 0);
    EditRegistryInPlace("Tree Pack", "Tree Paco");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, SystemReg().c_str(), times, 0), 0);
    EXPECT_NE(NamesOfNextRun().find("Tree Pack"), std::string::npos);

    // A new time; another size; another file; the other registry file.
    Age();
    ExpectNextRunAsWithoutSnapshot("Tree Paco");
    EditRegistryInPlace("\"Rock Pack\"\n", "\"Rock Packs\"\n");
    Age();
    ExpectNextRunAsWithoutSnapshot("Rock Packs");
    machine.SetString(GAME_HIVE,
                      std::string(GAME_LIBRARIES_KEY) + "\\{00000004-0000-0000-0000-000000000000}",
                      "Name", "Bushes");
    Age();
    ExpectNextRunAsWithoutSnapshot("Bushes");
}

// The run that takes the snapshot deletes the cloaking tool's entries of installed content, as a
// run without one does.
TEST_F(StoreSnapshots, StaleCloakedEntriesAreDeletedByTheRunThatTakesThem) {
    const std::string stale =
        std::string(CLOAK_LIBRARIES_KEY) + "\\{00000002-0000-0000-0000-000000000000}";
    machine.SetString(GAME_HIVE, stale, "Name", "Stale Pack");
    Age();
    EXPECT_EQ(NamesOfNextRun().find("Stale Pack"), std::string::npos);
    std::ifstream file(SystemReg(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("Stale Pack"), std::string::npos);
    Age();
    ExpectNextRunAsWithoutSnapshot("Rock Pack");
}

// With the registry as it was, the files' statuses are taken while the records are made: a file
// with the size and time it had keeps the header its cache holds, one with another time is read.
TEST_F(StoreSnapshots, FilesKeepTheirCachedHeadersWhileTheirSizeAndTimeStay) {
    constexpr std::uint64_t OLD_TIME = 132223104000000000;  // 2020-01-01
    const std::string trees = machine.GameInstallDir() + "\\Trees.tcl";
    const std::string rocks = machine.GameInstallDir() + "\\Rocks.tcl";
    machine.SetString(GAME_HIVE,
                      std::string(GAME_LIBRARIES_KEY) + "\\{00000002-0000-0000-0000-000000000000}",
                      "Filename", trees);
    machine.SetString(GAME_HIVE,
                      std::string(CLOAK_LIBRARIES_KEY) + "\\{00000003-0000-0000-0000-000000000000}",
                      "Filename", rocks);
    Age();
    const auto writeLibrary = [&](const std::string& path, const std::string& name,
                                  std::uint64_t time) {
        ASSERT_TRUE(test::WriteLibraryFile(path, {test::TestGuid(2), name}));
        machine.SetModifiedTime(path, time);
    };
    writeLibrary(trees, "Tree Head", OLD_TIME);
    writeLibrary(rocks, "Rock Head", OLD_TIME + 1);
    ExpectNextRunAsWithoutSnapshot("Rock Pack/Rock Head");
    writeLibrary(rocks, "Rock Hean", OLD_TIME + 1);
    EXPECT_NE(NamesOfNextRun().find("Rock Pack/Rock Head"), std::string::npos);
    writeLibrary(rocks, "Rock Hean", OLD_TIME + 2);
    EXPECT_NE(NamesOfNextRun().find("Rock Pack/Rock Hean"), std::string::npos);
}

// A run that changes the registry reads it again at its next load.
TEST_F(StoreSnapshots, AreNotTakenOnceTheRunChangedTheRegistry) {
    ExpectNextRunAsWithoutSnapshot("Tree Pack");
    const std::unique_ptr<Machine> next = machine.Reopened();
    Machine& before = TheMachine();
    SetMachine(next.get());
    ASSERT_TRUE(DetectSupportedGames() && LoadCatalogue());
    machine.SetString(GAME_HIVE,
                      std::string(GAME_LIBRARIES_KEY) + "\\{00000005-0000-0000-0000-000000000000}",
                      "Name", "Hedges");
    ASSERT_TRUE(LoadCatalogue());
    SetMachine(&before);
    EXPECT_EQ(GetInstalledLibraries().front().name, "Hedges");
}

// A snapshot read ahead while the run starts is taken while the registry stays as it was; one
// read before the start itself changed the registry, as a recovery may, is not.
TEST_F(StoreSnapshots, OneReadAheadIsTakenOnlyWhileTheRegistryStaysAsItWas) {
    ExpectNextRunAsWithoutSnapshot("Tree Pack");
    EXPECT_NE(NamesOfNextRun([] {}).find("Tree Pack"), std::string::npos);
    EXPECT_NE(NamesOfNextRun([this] {
                  machine.SetString(
                      GAME_HIVE,
                      std::string(GAME_LIBRARIES_KEY) + "\\{00000006-0000-0000-0000-000000000000}",
                      "Name", "Heather");
              }).find("Heather"),
              std::string::npos);
}

// A registry file written moments ago may change again within the same tick of its clock:
// nothing is kept beside it.
TEST_F(StoreSnapshots, AreNotKeptOfRegistryFilesJustWritten) {
    fs::last_write_time(SystemReg(), fs::file_time_type::clock::now());
    NamesOfNextRun();
    EXPECT_FALSE(machine.FileExists(SnapshotFile()));
}

// Cut short, another version's, or not a snapshot at all: ignored, and written again whole.
TEST_F(StoreSnapshots, UnusableFilesAreIgnoredAndRebuilt) {
    ExpectNextRunAsWithoutSnapshot("Rock Pack");
    const std::string whole = machine.ReadFile(SnapshotFile());
    std::string otherVersion = whole;
    otherVersion[4] = '\x7F';
    for (const std::string& unusable : {whole.substr(0, whole.size() - 3), whole.substr(0, 30),
                                        otherVersion, std::string("not a snapshot")}) {
        machine.WriteFile(SnapshotFile(), unusable);
        ExpectNextRunAsWithoutSnapshot("Rock Pack");
        EXPECT_EQ(machine.ReadFile(SnapshotFile()), whole);
    }
}

}  // namespace
}  // namespace parvane::wine
