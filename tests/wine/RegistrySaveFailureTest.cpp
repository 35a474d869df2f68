// Changes to the catalogue when the prefix's registry file cannot be written. A read-only folder
// does not stop root, who runs the tests; an immutable one does: nothing new can be created
// beside system.reg, which stays readable. Where the file system has no immutable folders, a
// file size limit of 0 makes every write of a file fail instead.

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "catalogue/CatalogueLoading.h"
#include "catalogue/Registration.h"
#include "catalogue/StoreFixture.h"
#include "platform/wine/registry/WineServer.h"
#include "support/wine/TestPrefix.h"
#include "support/wine/WineTestMachine.h"

namespace parvane::test {
namespace {

class RegistrySaveFailure : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        hasImmutableFolders = SetImmutable(true) && SetImmutable(false);
    }
    void TearDown() override { BlockWrites(false); }

    bool SetImmutable(bool immutable) {
        const std::string command = std::string("chattr ") + (immutable ? "+i '" : "-i '") +
                                    PrefixFolder(machine).string() + "' 2>/dev/null";
        return std::system(command.c_str()) == 0;
    }
    void BlockWrites(bool blocked) {
        if (hasImmutableFolders) {
            SetImmutable(blocked);
            return;
        }
        static const rlimit unlimited = [] {
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            return limit;
        }();
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending us
        const rlimit nothing = {0, unlimited.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, blocked ? &nothing : &unlimited), 0);
    }
    bool hasImmutableFolders = false;
    std::string SystemReg() { return ReadHostFile(PrefixFolder(machine) / "system.reg"); }
};

TEST_F(RegistrySaveFailure, RegistrationFailsAndLeavesTheRegistryFileAsItWas) {
    const std::string before = SystemReg();
    CourseRecord course;
    course.guidText = OrderedGuidText(1);
    ui.ExpectError("Couldn't save the registry entry '" +
                   EntryPath(GAME_COURSES_KEY, course.guidText) +
                   "', return code=1013\nThe new entry was removed again.");
    BlockWrites(true);
    EXPECT_FALSE(RegisterCourse(course));
    BlockWrites(false);
    EXPECT_EQ(SystemReg(), before);
    EXPECT_TRUE(GetInstalledCourses().empty());
    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, course.guidText));
}

// A wineserver started for the prefix after the load (the game, started meanwhile) holds the
// registry: nothing is saved from then on, and the change is taken back.
TEST_F(RegistrySaveFailure, AWineserverStartedSinceTheLoadStopsEverySave) {
    if (std::system("command -v wineserver >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "Wine is not installed";
    }
    const std::string before = SystemReg();
    const std::string environment = "WINEPREFIX='" + PrefixFolder(machine).string() + "' ";
    ASSERT_EQ(std::system((environment + "wineserver -p 30 >/dev/null 2>&1").c_str()), 0);
    int pid = 0;
    for (int tries = 0; tries < 300 && !wine::FindRunningWineserver(PrefixFolder(machine), pid);
         ++tries) {
        usleep(50000);
    }
    CourseRecord course;
    course.guidText = OrderedGuidText(1);
    ui.ExpectError(Containing("return code=32\nThe game or another program of its Wine prefix"));
    EXPECT_FALSE(RegisterCourse(course));
    EXPECT_EQ(SystemReg(), before);
    EXPECT_FALSE(EntryExists(GAME_COURSES_KEY, course.guidText));
    EXPECT_TRUE(GetInstalledCourses().empty());
    // The server writes its own copy when it ends; the entry is not in it either.
    std::system((environment + "wineserver -k >/dev/null 2>&1").c_str());
    EXPECT_NE(pid, 0);
    EXPECT_EQ(SystemReg().find(course.guidText.substr(1, 8)), std::string::npos);
}

}  // namespace
}  // namespace parvane::test
