// Installing and uninstalling many packages in a large collection. A Wine prefix holds COURSES
// courses and five times as many libraries (bench/LargeCollection.h); for each count N in
// turn, `parvane --defaults install` installs N course packages, each with a library of its
// own, in one run, and they are uninstalled again through the core as the uninstall dialogs
// do it (every course, a reload, every library, a reload). The registry and the folders must
// then be as they were before. Prints the wall time of both steps for each N. Exit status 1
// when an installation or removal failed or something stayed changed.
//   InstallLoadBench PARVANE [COURSES [N...]]      (defaults: 10000 courses; 25 50 100)

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "LargeCollection.h"
#include "base/GameFolders.h"
#include "base/RegistryRoots.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "platform/UserInterface.h"
#include "platform/wine/WineMachine.h"
#include "support/InstallFixture.h"
#include "support/ProcessStateResets.h"
#include "support/ZipFiles.h"
#include "support/wine/TestPrefix.h"
#include "uninstall/UninstallLists.h"

namespace parvane {
namespace {

using Clock = std::chrono::steady_clock;
using Snapshot = std::map<std::string, std::string>;

// GUID numbers of the packages: courses from 2,000,000 on, their libraries from 3,000,000 on.
constexpr std::uint32_t PACKAGE_COURSES = 2000000;
constexpr std::uint32_t PACKAGE_LIBRARIES = 3000000;

// Answers Yes to every question and keeps the Error boxes.
class YesUserInterface final : public UserInterface {
  public:
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t) override {
        if (caption == "Error") {
            errors.push_back(text);
        }
        return caption == "Question" ? ANSWER_YES : ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }

    std::vector<std::string> errors;
};

std::filesystem::path WritePackage(const std::filesystem::path& folder, int n) {
    const std::string name = "Load " + std::to_string(n);
    const std::uint32_t course = PACKAGE_COURSES + static_cast<std::uint32_t>(n);
    const std::uint32_t library = PACKAGE_LIBRARIES + static_cast<std::uint32_t>(n);
    const test::ZipBytes bytes = test::ZipArchiveBytes(
        {{name + "/" + name + ".tcr", test::CourseData(name, course, {{library, name + " Trees"}})},
         {name + "/" + name + " Trees.tcl", test::LibraryData(name + " Trees", library)},
         {name + "/hole1.mp3", "hole"},
         {name + "/readme.txt", "text"}});
    const std::filesystem::path path = folder / ("Load_" + std::to_string(n) + ".zip");
    bench::WriteBytes(path, bytes);
    return path;
}

// Every entry of the four stores with its values, and every file and folder of drive C: with
// its size.
Snapshot Capture(const test::TestPrefix& prefix) {
    Snapshot snapshot;
    wine::WineMachine machine(prefix.Folder());
    std::string message;
    if (!machine.Registry().Load(message)) {
        snapshot["(registry)"] = message;
    }
    for (const std::string store :
         {GAME_COURSES_KEY, GAME_LIBRARIES_KEY, CLOAK_COURSES_KEY, CLOAK_LIBRARIES_KEY}) {
        KeyHandle storeKey = 0, entry = 0;
        std::string key, data;
        machine.OpenKey(GAME_HIVE, store, storeKey);
        for (std::uint32_t i = 0; machine.EnumKey(storeKey, i, 256, key) == ERR_SUCCESS; ++i) {
            machine.OpenKey(GAME_HIVE, store + "\\" + key, entry);
            for (const char* name :
                 {"Name", "Filename", "Flag", "Logo", "Audio", "Music", "Picture", "Text"}) {
                std::uint32_t type = 0;
                if (machine.QueryValue(entry, name, 1024, type, data) == ERR_SUCCESS) {
                    snapshot[store + "\\" + key] += std::string(name) + "=" + data + "\n";
                }
            }
            machine.CloseKey(entry);
        }
        machine.CloseKey(storeKey);
    }
    for (const auto& item : std::filesystem::recursive_directory_iterator(prefix.DriveC())) {
        snapshot[item.path().string()] =
            item.is_regular_file() ? std::to_string(item.file_size()) : "folder";
    }
    return snapshot;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// parvane's exit status.
int InstallPackages(const std::string& parvane, const test::TestPrefix& prefix,
                    const std::vector<std::filesystem::path>& packages) {
    std::string command =
        "'" + parvane + "' --prefix '" + prefix.Folder().string() + "' --defaults install";
    for (const std::filesystem::path& package : packages) {
        command += " '" + package.string() + "'";
    }
    const int status = std::system((command + " >/dev/null 2>&1 </dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The list lines of the packages' entries, as a user selects them.
template <typename Record>
std::vector<int> PackageLines(const Record* (*atLine)(int), std::uint32_t first, int count) {
    std::set<std::string> wanted;
    for (int n = 0; n < count; ++n) {
        wanted.insert(GuidToText(test::TestGuid(first + static_cast<std::uint32_t>(n))));
    }
    std::vector<int> lines;
    for (int line = 0; const Record* record = atLine(line); ++line) {
        if (wanted.contains(record->guidText)) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The removal through the uninstall lists: the courses, then their libraries. The errors.
std::vector<std::string> UninstallPackages(const test::TestPrefix& prefix, int count) {
    YesUserInterface answers;
    SetUserInterface(&answers);
    std::string message;
    std::unique_ptr<wine::WineMachine> machine = wine::OpenWineMachine(prefix.Folder(), message);
    if (!machine) {
        return {message};
    }
    SetMachine(machine.get());
    ForgetGameFolders();
    TheCatalogue() = Catalogue{};
    if (!DetectSupportedGames() || !LoadCatalogue() ||
        UninstallCoursesAt(PackageLines(CourseAtListLine, PACKAGE_COURSES, count)) != count ||
        UninstallLibrariesAt(PackageLines(LibraryAtListLine, PACKAGE_LIBRARIES, count)) != count) {
        answers.errors.push_back("not every package was uninstalled");
    }
    machine.reset();  // saves the registry
    SetMachine(nullptr);
    SetUserInterface(nullptr);
    return answers.errors;
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PARVANE [COURSES [N...]]\n", argv[0]);
        return 2;
    }
    const int courses = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::vector<int> counts;
    for (int i = 3; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {25, 50, 100};
    }
    test::TestPrefix prefix;
    bench::WriteLargeCollection(prefix, bench::Layout::Collection,
                                courses * (1 + bench::LIBRARIES_PER_COURSE));
    const std::filesystem::path packageFolder = prefix.Folder() / "packages";
    std::filesystem::create_directory(packageFolder);
    // The program's own files stay with the throwaway prefix.
    setenv("XDG_CONFIG_HOME", (prefix.Folder() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (prefix.Folder() / "data").c_str(), 1);
    setenv("XDG_STATE_HOME", (prefix.Folder() / "state").c_str(), 1);
    const Snapshot before = Capture(prefix);
    std::printf("%d courses, %d libraries\n%10s %12s %14s %16s %18s\n", courses,
                courses * bench::LIBRARIES_PER_COURSE, "packages", "install (s)", "uninstall (s)",
                "install/package", "uninstall/package");
    int failures = 0;
    for (const int count : counts) {
        std::vector<std::filesystem::path> packages;
        for (int n = 0; n < count; ++n) {
            packages.push_back(WritePackage(packageFolder, n));
        }
        Clock::time_point start = Clock::now();
        const int status = InstallPackages(argv[1], prefix, packages);
        const double install = Seconds(start);
        start = Clock::now();
        const std::vector<std::string> errors = UninstallPackages(prefix, count);
        const double uninstall = Seconds(start);
        std::printf("%10d %12.2f %14.2f %13.0f ms %15.0f ms\n", count, install, uninstall,
                    1000 * install / count, 1000 * uninstall / count);
        const Snapshot after = Capture(prefix);
        if (status != 0 || !errors.empty() || after != before) {
            ++failures;
            std::printf(
                "  parvane ended with %d; %zu errors%s%s\n", status, errors.size(),
                errors.empty() ? "" : ", the first: ", errors.empty() ? "" : errors[0].c_str());
            for (const auto& [what, value] : after) {
                if (!before.contains(what) || before.at(what) != value) {
                    std::printf("  changed: %s\n", what.c_str());
                }
            }
            for (const auto& [what, value] : before) {
                if (!after.contains(what)) {
                    std::printf("  gone: %s\n", what.c_str());
                }
            }
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace parvane

int main(int argc, char** argv) {
    return parvane::Run(argc, argv);
}
