// Finding the game's prefixes among the launchers' folders of a fake home, the choice of one
// when none is named, and the reader of Steam's library list.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "app/cli/GamePrefixes.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/VdfText.h"
#include "support/wine/TestPrefix.h"

namespace parvane::cli {
namespace {

namespace fs = std::filesystem;
using test::WriteHostFile;

TEST(VdfText, ReadsBothLayoutsOfSteamsLibraryListAndRefusesBrokenText) {
    const char* newer = R"("libraryfolders"
{
	"0"		// the Steam folder itself
	{
		"path"		"/home/me/.local/share/Steam"
		"apps" { "228980" "1" }
	}
	"1" { "PATH" "/mnt/g\\\"ames" [$LINUX] "label" "" }
})";
    std::vector<VdfValue> values;
    ASSERT_TRUE(ReadVdfValues(newer, values));
    EXPECT_EQ(SteamLibraryPaths(values),
              (std::vector<std::string>{"/home/me/.local/share/Steam", "/mnt/g\\\"ames"}));
    ASSERT_TRUE(
        ReadVdfValues("LibraryFolders { TimeNextStatsReport 1 \"1\" \"/mnt/old\" }", values));
    EXPECT_EQ(SteamLibraryPaths(values), std::vector<std::string>{"/mnt/old"});
    for (const char* broken : {"\"a\" { \"b\" \"c\"", "\"a\" \"b", "\"a\" }", "a"})
        EXPECT_FALSE(ReadVdfValues(broken, values)) << broken;
}

// A prefix with the game's key where `gameKey` says (none: without the game).
void MakePrefix(const fs::path& folder, const char* arch, const char* gameKey) {
    fs::create_directories(folder / "drive_c");
    fs::create_directories(folder / "dosdevices");
    std::string system = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=" +
                         std::string(arch) + "\n\n";
    if (gameKey != nullptr)
        system += "[" + std::string(gameKey) + "\\\\Quorlix\\\\Greenvale 06] 1700000000\n" +
                  "\"Install Dir\"=\"C:\\\\Games\\\\" + folder.filename().string() + "\"\n\n";
    WriteHostFile(folder / "system.reg", system);
    WriteHostFile(folder / "user.reg", "WINE REGISTRY Version 2\n\n#arch=" + std::string(arch));
}

void MakeGamePrefix(const fs::path& folder) {
    MakePrefix(folder, "win64", "Software\\\\Wow6432Node");
}

struct FakeHome {
    FakeHome() {
        char pattern[] = "/tmp/parvane-home-XXXXXX";
        home = mkdtemp(pattern);
    }
    ~FakeHome() { fs::remove_all(home); }
    fs::path home;
};

TEST(GamePrefixes, EveryLauncherIsSearchedAndOnlyPrefixesHoldingTheGameAreFound) {
    FakeHome fake;
    const fs::path& home = fake.home;
    const fs::path library = home / "SteamLibrary";
    // Steam: two libraries, the second named in libraryfolders.vdf; one game without Greenvale.
    MakeGamePrefix(home / ".local/share/Steam/steamapps/compatdata/2876543210/pfx");
    MakePrefix(home / ".local/share/Steam/steamapps/compatdata/22380/pfx", "win64", nullptr);
    WriteHostFile(home / ".local/share/Steam/steamapps/libraryfolders.vdf",
                  "\"libraryfolders\" { \"1\" { \"path\" \"" + library.string() + "\" } }");
    MakeGamePrefix(library / "steamapps/compatdata/3000000001/pfx");
    fs::create_directories(home / ".steam");
    fs::create_directory_symlink(home / ".local/share/Steam", home / ".steam/steam");  // the same
    // Lutris: a game's prefix under `game:`, one with a broken file, one naming no folder.
    MakeGamePrefix(home / "Games/greenvale");
    WriteHostFile(
        home / ".config/lutris/games/greenvale-1.yml",
        "game:\n  exe: drive_c/gv.exe\n  prefix: ~/Games/greenvale\nwine:\n  version: x\n");
    WriteHostFile(home / ".config/lutris/games/broken.yml", "game: [\n");
    WriteHostFile(home / ".local/share/lutris/games/gone.yml", "game:\n  prefix: /nowhere\n");
    // Bottles (the Flatpak's), Heroic (settings and default folder), PlayOnLinux, Wine.
    MakeGamePrefix(home / ".var/app/com.usebottles.bottles/data/bottles/bottles/Golf");
    MakeGamePrefix(home / "heroic-gv");
    WriteHostFile(home / ".config/heroic/GamesConfig/abc.json",
                  R"({"abc": {"winePrefix": ")" + (home / "heroic-gv").string() + R"("}})");
    WriteHostFile(home / ".config/heroic/GamesConfig/broken.json", "{\"abc\": ");
    MakePrefix(home / "Games/Heroic/Prefixes/Other", "win64", nullptr);
    MakePrefix(home / ".PlayOnLinux/wineprefix/GV06", "win32", "Software");
    MakePrefix(home / ".wine", "win64", "Software");  // the 64-bit view: not the game's
    MakeGamePrefix(home / ".wine-gv");
    MakeGamePrefix(home / "elsewhere");
    // What cannot be read is passed over: a file where a folder belongs, a loop of links.
    WriteHostFile(home / ".local/share/bottles/bottles", "");
    fs::create_symlink(home / ".wine-loop", home / ".wine-loop");

    const std::vector<GamePrefix> found =
        PrefixesHoldingGame(FindPrefixCandidates(home, (home / "elsewhere").string()));
    std::vector<std::string> lines;
    for (const GamePrefix& prefix : found)
        lines.push_back(PrefixLine(prefix).substr(home.string().size()));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "/.local/share/Steam/steamapps/compatdata/2876543210/pfx  Steam  "
                         "C:\\Games\\pfx",
                         "/SteamLibrary/steamapps/compatdata/3000000001/pfx  Steam  C:\\Games\\pfx",
                         "/Games/greenvale  Lutris  C:\\Games\\greenvale",
                         "/.var/app/com.usebottles.bottles/data/bottles/bottles/Golf  Bottles  "
                         "C:\\Games\\Golf",
                         "/heroic-gv  Heroic  C:\\Games\\heroic-gv",
                         "/.PlayOnLinux/wineprefix/GV06  PlayOnLinux  C:\\Games\\GV06",
                         "/elsewhere  Wine  C:\\Games\\elsewhere",
                         "/.wine-gv  Wine  C:\\Games\\.wine-gv",
                     }));
}

TEST(GamePrefixes, OneIsTakenSeveralAreChosenOnATerminalOrListedWithStatusTwo) {
    const std::vector<GamePrefix> two = {{"/a/pfx", "Steam", "C:\\G"}, {"/b", "Lutris", "D:\\G"}};
    const struct {
        std::vector<GamePrefix> found;
        bool canAsk;
        const char* typed;
        const char* chosen;
        int status;
        const char* said;
    } cases[] = {
        {{two[1]}, false, "", "/b", EXIT_DONE, ""},
        {two, true, "0\nb\n2\n", "/b", EXIT_DONE,
         "1) /a/pfx  Steam  C:\\G\n2) /b  Lutris  D:\\G\nThe prefix to work on [1-2]: The"},
        {two, true, "", "", EXIT_NOT_DONE, "[1-2]: \n"},
        {two, false, "1\n", "", EXIT_USAGE, "name one with --prefix DIR:\n/a/pfx  Steam  C:\\G\n"},
        {{}, true, "1\n", "", EXIT_NOT_DONE, "Name the game's prefix with --prefix DIR"},
    };
    for (const auto& c : cases) {
        std::istringstream input(c.typed);
        std::ostringstream output;
        const PrefixChoice choice = ChooseGamePrefix(c.found, c.canAsk, input, output);
        EXPECT_EQ(choice.folder, c.chosen) << output.str();
        EXPECT_EQ(choice.status, c.status) << output.str();
        EXPECT_NE(output.str().find(c.said), std::string::npos) << output.str();
    }
}

}  // namespace
}  // namespace parvane::cli
