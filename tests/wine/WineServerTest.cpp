// Finding the wineserver that serves a prefix.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/wine/registry/WineServer.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

// $TMPDIR pointed at a folder of the test's own, as Debian's Wine uses it.
class Wineserver : public ::testing::Test {
  protected:
    Wineserver() { std::filesystem::create_directories(temporary); }

    // The lock file a server of the prefix would have in wine-XXXXXX.
    std::filesystem::path ServerLockFile() {
        struct stat status {};
        EXPECT_EQ(stat(prefix.Folder().c_str(), &status), 0);
        char name[64];
        std::snprintf(name, sizeof name, "server-%lx-%lx",
                      static_cast<unsigned long>(status.st_dev),
                      static_cast<unsigned long>(status.st_ino));
        const std::filesystem::path folder = temporary / "wine-Ab12Cd" / name;
        test::WriteHostFile(folder / "lock", "");
        return folder / "lock";
    }

    test::TestPrefix prefix;
    const std::filesystem::path temporary = prefix.Folder() / "tmp";
    test::ScopedVariable variable{"TMPDIR", temporary.string()};
};

// The prefix's file "wineserver" as Debian's Wine writes it, naming its server's folder, or as
// something else may have left it: the server is found whichever it holds.
TEST_F(Wineserver, TheProcessHoldingTheLockIsTheServer) {
    const std::filesystem::path lock = ServerLockFile();
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int file = open(lock.c_str(), O_RDWR);
        struct flock region {};
        region.l_type = F_WRLCK;
        region.l_whence = SEEK_SET;
        region.l_len = 1;
        char byte = fcntl(file, F_SETLK, &region) == 0 ? 'y' : 'n';
        (void)!write(ready[1], &byte, 1);
        (void)!read(release[0], &byte, 1);
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    const std::filesystem::path nameFile = prefix.Folder() / "wineserver";
    for (const char* named : {"", "wine-Ab12Cd", "wine-Ab12Cd\n", "../../tmp/wine-Ab12Cd",
                              "wine-Ab12Cd/../../elsewhere"}) {
        SCOPED_TRACE(named);
        test::WriteHostFile(nameFile, named);
        int pid = 0;
        EXPECT_TRUE(FindRunningWineserver(prefix.Folder(), pid));
        EXPECT_EQ(pid, holder);
    }
    std::filesystem::remove(nameFile);
    std::string message;
    EXPECT_TRUE(IsServedByWineserver(prefix.Folder(), message));
    EXPECT_NE(message.find("wineserver (process " + std::to_string(holder) + ")"),
              std::string::npos)
        << message;

    (void)!write(release[1], "x", 1);
    waitpid(holder, nullptr, 0);
    int pid = 0;
    EXPECT_FALSE(FindRunningWineserver(prefix.Folder(), pid));
    for (int end : {ready[0], ready[1], release[0], release[1]}) {
        close(end);
    }
}

// A temporary folder that is never emptied gathers the folders of servers long gone: the one
// the prefix names is the only one looked in.
TEST_F(Wineserver, APrefixThatNamesItsServersFolderIsLookedForThereOnly) {
    std::filesystem::create_directories(temporary / "wine-Gone01");
    test::WriteHostFile(prefix.Folder() / "wineserver", "wine-Ab12Cd");
    for (const std::filesystem::path& folder : WineserverFolders(prefix.Folder())) {
        EXPECT_EQ(folder.parent_path().filename().string().find("wine-Gone01"), std::string::npos)
            << folder;
    }
    std::filesystem::remove(prefix.Folder() / "wineserver");
    const std::vector<std::filesystem::path> scanned = WineserverFolders(prefix.Folder());
    EXPECT_TRUE(std::any_of(scanned.begin(), scanned.end(), [](const auto& folder) {
        return folder.parent_path().filename() == "wine-Gone01";
    }));
}

}  // namespace
}  // namespace parvane::wine
