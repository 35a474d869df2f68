// Every machine call of a whole operation failed in turn, on a fresh machine each time: call N
// alone, then call N and all after it (a full disk). Then the operation succeeded wholly or
// failed with an Error box and no "Installation complete."; the registry (read again from the
// disk) and the files hold what they held before or what the run without faults left, or the
// user was told; nothing was written outside the game's, caddy books', temporary, program's and
// state folders, deleted outside the game's folder, caddy books and state folder but what the
// run made, nor left in the temporary folder unnamed.
//
// Then the process killed at each call N (nothing runs after it, as after a kill or a power
// cut) and started again on the same prefix: the start-up finds the journal and undoes the
// change, after which the registry files and the files are byte for byte those before, or,
// once the change was committed, completes it, after which they equal the completed
// operation's. Nothing of the journal or its kept files is left.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "archive/TempExtractionFolder.h"
#include "base/GameFolders.h"
#include "base/PathText.h"
#include "base/RegistryRoots.h"
#include "base/StateFolder.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueLoading.h"
#include "platform/AsciiCase.h"
#include "properties/Properties.h"
#include "shell/FileNameList.h"
#include "shell/InstallRun.h"
#include "shell/Startup.h"
#include "support/ContentFiles.h"
#include "support/FaultInjectingMachine.h"
#include "support/InstallFixture.h"
#include "support/ProcessStateResets.h"
#include "uninstall/CourseRemoval.h"
#include "uninstall/LibraryRemoval.h"

namespace parvane {
namespace {

using test::MachineCall;
using Texts = std::vector<std::string>;
using Snapshot = std::map<std::string, std::string>;  // what -> content; absent when missing

// Under the sanitizers and wine, where a run takes several and many times longer, every STEP-th
// call is failed; the plain native build fails every call.
#if defined(_WIN32)
constexpr std::uint64_t STEP = 10;
#elif defined(__SANITIZE_ADDRESS__)
constexpr std::uint64_t STEP = 5;
#else
constexpr std::uint64_t STEP = 1;
#endif

// Answers every question so that the operation goes on, and keeps every box.
struct RecordingUserInterface final : UserInterface {
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       std::uint32_t) override {
        boxes.push_back(caption + ": " + text);
        return caption == "Question" ? ANSWER_YES : ANSWER_OK;
    }
    bool OpenFile(const OpenFileRequest&, std::string&, std::uint32_t&) override { return false; }
    bool BrowseForFolder(const std::string&, std::string&) override { return false; }
    std::intptr_t RunDialog(int, DialogProcedure&) override { return -1; }
    Texts boxes;
};

std::string Normal(std::string_view path) {
    std::string normal = ToUpperAscii(path);
    std::replace(normal.begin(), normal.end(), '/', '\\');
    return normal;
}

bool IsInside(std::string_view root, std::string_view path) {
    return Normal(path).find("\\..") == std::string::npos &&
           (Normal(path) + "\\").starts_with(Normal(WithoutTrailingSeparators(root)) + "\\");
}

struct Result {
    bool ok = false;
    std::vector<test::CallRecord> calls;
    Snapshot registry, files;
};

// One run: the game, a documents folder, the program's folder, nothing asked. One at a time.
struct SweepRun {
    SweepRun() {
        test::ForgetInstallation();
        test::SetQuietInstallProperties(machine.GameInstallDir());
        machine.SetString(SHELL_FOLDERS_HIVE, SHELL_FOLDERS_KEY, PERSONAL_FOLDER_VALUE,
                          roots.at("documents"));
        machine.MakeFolders(roots.at("program"));
        machine.GetMachine().TempPath(temp);
        SetUserInterface(&ui);
    }
    ~SweepRun() {
        SetUserInterface(nullptr);
        while (NextFileName(1) != nullptr) {  // a run that ended early left the cursor inside
        }
        ClearFileNameList();
        test::ForgetInstallation();
    }
    bool Named(const std::string& text) const {
        return std::any_of(ui.boxes.begin(), ui.boxes.end(), [&](const std::string& box) {
            return Normal(box).find(Normal(text)) != std::string::npos;
        });
    }
    void AddFiles(const std::string& folder, const std::string& key) {
        std::vector<FolderEntry> entries;
        TheMachine().ListFolder(folder + "\\*.*", entries);
        for (const FolderEntry& entry : entries) {
            if ((entry.attributes & ATTR_DIRECTORY) == 0)
                result.files[key + "\\" + entry.name] =
                    machine.ReadFile(folder + "\\" + entry.name);
            else if (entry.name != "." && entry.name != "..")
                AddFiles(folder + "\\" + entry.name, key + "\\" + entry.name);
        }
    }
    // The game's entries with their values, as the next run finds them, and the files.
    void Capture() {
        result.registry.clear();
        result.files.clear();
        std::unique_ptr<Machine> again = machine.Reopened();
        for (const std::string store : {GAME_COURSES_KEY, GAME_LIBRARIES_KEY}) {
            KeyHandle storeKey = 0, entry = 0;
            std::string key, data;
            again->OpenKey(GAME_HIVE, store, storeKey);
            for (std::uint32_t i = 0; again->EnumKey(storeKey, i, 256, key) == ERR_SUCCESS; ++i) {
                again->OpenKey(GAME_HIVE, store + "\\" + key, entry);
                for (const char* name :
                     {"Name", "Filename", "Flag", "Logo", "Audio", "Music", "Picture", "Text"}) {
                    std::uint32_t type = 0;
                    const bool read = again->QueryValue(entry, name, 999, type, data) == 0;
                    result.registry[store + "\\" + key] += (read ? data : "-") + "\n";
                }
                again->CloseKey(entry);
            }
            again->CloseKey(storeKey);
        }
        for (const auto& [tag, root] : roots)
            AddFiles(root, tag);
    }

    test::TestMachine machine;
    RecordingUserInterface ui;
    const std::map<std::string, std::string> roots = {
        {"game", machine.GameInstallDir()},
        {"documents", machine.ScratchFolder() + "\\Documents"},
        {"program", machine.ScratchFolder() + "\\Program"}};
    std::string temp;
    Result result;
};

struct Operation {
    const char* name;
    std::function<void(SweepRun&)> prepare;  // without faults
    std::function<bool()> operation;
    bool installs;
};

void Perform(const Operation& operation, SweepRun& run, const test::Fault& fault) {
    run.ui.boxes.clear();  // those of the preparation
    {
        test::FaultInjectingMachine faults;
        faults.Inject(fault);
        run.result.ok = operation.operation();
        run.result.calls = faults.Calls();
    }
    run.Capture();
}

// Each value is the old one or the new one (the new one after a success), or was named.
void Compare(const Snapshot& old, const Snapshot& now, const Snapshot& done, bool ok,
             const std::function<bool(const std::string&)>& isNamed, Texts& found) {
    Snapshot keys = old;
    keys.insert(now.begin(), now.end());
    keys.insert(done.begin(), done.end());
    for (const auto& [key, ignored] : keys) {
        const auto at = [&key](const Snapshot& s) { return s.contains(key) ? s.at(key) : "-"; };
        if (at(now) != at(done) && (ok || at(now) != at(old)) && !isNamed(key))
            found.push_back(key + " is " + at(now));
    }
}

Texts Violations(const Operation& operation, const Result& before, const Result& reference,
                 SweepRun& run) {
    Texts found;
    const Result& result = run.result;
    const bool complete = run.Named("Information: Installation complete.");
    if (result.ok ? operation.installs && !complete : complete || !run.Named("Error: "))
        found.push_back(result.ok ? "success not reported" : "failure not reported");
    const auto named = [&run](const std::string& key) { return run.Named(key); };
    Compare(before.registry, result.registry, reference.registry, result.ok, named, found);
    Compare(
        before.files, result.files, reference.files, result.ok,
        [&](const std::string& key) {
            // Named itself, or its folder in quotes (a folder that stays).
            const std::string path =
                run.roots.at(key.substr(0, key.find('\\'))) + key.substr(key.find('\\'));
            return named(path) || named("'" + std::string(FolderTextPart(path)) + "'");
        },
        found);
    const std::string game = run.roots.at("game");
    const std::string notes = run.roots.at("documents") + "\\" + COURSE_NOTES_FOLDER;
    const Texts writable = {game, notes, run.temp, run.roots.at("program"), StateFolder()};
    Texts made;
    const auto inside = [](const Texts& roots, std::string_view path, bool below = false) {
        return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
            return below ? IsInside(path, root) : IsInside(root, path);
        });
    };
    for (const test::CallRecord& call : result.calls) {
        const MachineCall c = call.call;
        const bool moves = c == MachineCall::MoveFileTo || c == MachineCall::MoveFileOver;
        const bool deletes =
            moves || c == MachineCall::RemoveFile || c == MachineCall::RemoveEmptyFolder;
        const bool writes = moves || c == MachineCall::CopyFileOver ||
                            c == MachineCall::UniqueTempFile || c == MachineCall::MakeFolder ||
                            (c == MachineCall::OpenFile && call.mode == FileMode::Write);
        const std::string& gone = moves ? call.source : call.path;
        if (call.failed)
            continue;
        if (deletes && !inside({game, notes, StateFolder()}, gone) && !inside(made, gone))
            found.push_back("deleted " + gone);
        // A folder made on the way to a writable one is not written into.
        if (writes && !inside(writable, call.path) &&
            !(c == MachineCall::MakeFolder && inside(writable, call.path, true)))
            found.push_back("wrote " + call.path);
        const std::string_view folder = FolderTextPart(WithoutTrailingSeparators(call.path));
        if (writes && IsInside(folder, run.temp) && IsInside(run.temp, folder) &&
            (run.machine.FileExists(call.path) || run.machine.FolderExists(call.path)) &&
            !named(call.path))
            found.push_back("left " + call.path);
        if (writes)
            made.push_back(call.path);
    }
    return found;
}

// The prefix before the operation and the reference run, with no fault, that the sweeps
// compare against. Returns the run's first message when it showed an Error, else nothing.
std::string RunWithoutFaults(const Operation& operation, Result& before, Result& reference) {
    SweepRun run;
    operation.prepare(run);
    run.Capture();
    before = run.result;
    Perform(operation, run, {.count = 0});
    reference = run.result;
    return run.Named("Error: ") ? run.ui.boxes.front() : std::string();
}

void Sweep(const Operation& operation) {
    Result before, reference;
    const std::string error = RunWithoutFaults(operation, before, reference);
    ASSERT_TRUE(reference.ok && error.empty()) << error;
    const unsigned long long calls = reference.calls.size();
    unsigned long long runs = 0, violations = 0;
    for (const std::uint64_t count : {std::uint64_t{1}, test::EVERY_CALL}) {
        for (std::uint64_t n = 1; n <= calls; n += STEP, ++runs) {
            SweepRun run;
            operation.prepare(run);
            Perform(operation, run, {.first = n, .count = count});
            for (const std::string& violation : Violations(operation, before, reference, run)) {
                ++violations;
                ADD_FAILURE() << operation.name << ": call " << n << " ("
                              << test::MachineCallName(reference.calls[n - 1].call) << " "
                              << reference.calls[n - 1].path << ") failing"
                              << (count == 1 ? "" : " with all after it") << ": " << violation;
            }
        }
    }
    std::printf("%s: %llu calls, %llu runs, %llu violations\n", operation.name, calls, runs,
                violations);
}

// The folders of kept files in the temporary folder, which on Windows outlives the test.
Texts KeptFolders(const std::string& temp) {
    std::vector<FolderEntry> entries;
    TheMachine().ListFolder(temp + "Parvane kept files*", entries);
    Texts names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name);
    return names;
}

std::string Difference(const Result& expected, const Result& found) {
    std::string text;
    Snapshot all = expected.files;
    all.insert(found.files.begin(), found.files.end());
    for (const auto& [key, value] : all)
        if (!expected.files.contains(key) || !found.files.contains(key) ||
            expected.files.at(key) != found.files.at(key))
            text += ", " + key;
    all = expected.registry;
    all.insert(found.registry.begin(), found.registry.end());
    for (const auto& [key, value] : all)
        if (!expected.registry.contains(key) || !found.registry.contains(key) ||
            expected.registry.at(key) != found.registry.at(key))
            text += ", " + key;
    return text;
}

// The process killed at each call, then started again; see the top of the file.
void KillSweep(const Operation& operation) {
    Result before, reference;
    RunWithoutFaults(operation, before, reference);
    const unsigned long long calls = reference.calls.size();
    unsigned long long runs = 0, undone = 0, completed = 0, violations = 0;
    for (std::uint64_t n = 1; n <= calls; n += STEP, ++runs) {
        SweepRun run;
        operation.prepare(run);
        const std::string beforeBytes = test::RegistryFileBytes(run.machine);
        const Texts keptBefore = KeptFolders(run.temp);
        Perform(operation, run, {.first = n, .kills = true});
        run.ui.boxes.clear();
        bool recovered = false;
        {
            const std::unique_ptr<Machine> restarted = run.machine.Reopened();
            SetMachine(restarted.get());
            recovered = RecoverChangeAtStartup();
            run.Capture();
            SetMachine(&run.machine.GetMachine());
        }
        Texts found;
        const bool asBefore = run.result.files == before.files &&
                              run.result.registry == before.registry &&
                              test::RegistryFileBytes(run.machine) == beforeBytes;
        const bool asCompleted =
            run.result.files == reference.files && run.result.registry == reference.registry;
        if (!recovered || run.machine.FileExists(StateFolder() + "\\change.journal"))
            found.push_back("the journal is left");
        if (KeptFolders(run.temp) != keptBefore)
            found.push_back("kept files are left in " + run.temp);
        if (run.Named("has been undone")      ? !asBefore
            : run.Named("has been completed") ? !asCompleted
                                              : !asBefore && !asCompleted)
            found.push_back("neither as before nor as completed" + Difference(before, run.result));
        if (asCompleted && !asBefore)
            ++completed;
        else if (completed > 0)
            found.push_back("undone after a later call was completed");
        undone += asBefore ? 1 : 0;
        for (const std::string& violation : found) {
            ++violations;
            ADD_FAILURE() << operation.name << ": killed at call " << n << " ("
                          << test::MachineCallName(reference.calls[n - 1].call) << " "
                          << reference.calls[n - 1].path << "): " << violation << "\n"
                          << (run.ui.boxes.empty() ? "" : run.ui.boxes.front());
        }
    }
    EXPECT_GT(undone, 0u);
    EXPECT_GT(completed, 0u);
    std::printf("%s killed: %llu calls, %llu runs, %llu undone, %llu completed, %llu violations\n",
                operation.name, calls, runs, undone, completed, violations);
}

// The package queued as the command line queues it, and installed if asked.
std::function<void(SweepRun&)> Queued(const std::vector<test::ZipFileEntry>& package,
                                      bool installed = false) {
    return [=](SweepRun& run) {
        const std::string path = run.machine.ScratchFolder() + "\\package.zip";
        ASSERT_TRUE(test::WriteZipFile(path, package) && AddFileName(path));
        ASSERT_TRUE(!installed || InstallQueuedArchives().notInstalled == 0);
    };
}

// A run the program would end (no temporary folder) has installed nothing.
bool InstallQueued() {
    const InstallRunResult run = InstallQueuedArchives();
    return !run.endsProgram && run.notInstalled == 0;
}

std::vector<test::ZipFileEntry> CoursePackage() {
    std::vector<test::ZipFileEntry> package = {
        {"Lakeside/Lakeside.tcr", test::CourseData("Lakeside", 1, {{2, "Trees"}})},
        {"Lakeside/Trees.tcl", test::LibraryData("Trees", 2)}};
    for (const std::string name : {"hole1.mp3", "hole2.mp3", "flag.dds", "readme.txt",
                                   "Lakeside.ini", "Lakeside.tcn", "prv/tree.dds", "sounds/b.wav"})
        package.push_back({"Lakeside/" + name, name});
    return package;
}

// The course, its library and 18 files more.
std::vector<test::ZipFileEntry> LargerCoursePackage() {
    std::vector<test::ZipFileEntry> package = CoursePackage();
    for (const std::string name :
         {"hole3.mp3", "hole4.mp3", "logo.dds", "Lakeside.stn", "prv/rock.dds", "prv/bush.dds",
          "prv/sand.dds", "sounds/c.wav", "sounds/d.wav", "snd.ini"})
        package.push_back({"Lakeside/" + name, name});
    return package;
}

const std::vector<test::ZipFileEntry> LIBRARY_PACKAGE = {
    {"Rocks.tcl", test::LibraryData("Rocks", 3)},
    {"Grass.tcl", test::LibraryData("Grass", 4)},
    {"Reeds.tcl", test::LibraryData("Reeds", 5)}};

// As the uninstall dialogs do it: the catalogue loaded, the entry found and removed.
template <typename Record>
std::function<bool()> Removal(std::uint32_t guid, const Record* (*find)(std::string_view),
                              bool (*remove)(const Record&)) {
    return [=] {
        const Record* record = LoadCatalogue() ? find(GuidToText(test::TestGuid(guid))) : nullptr;
        return record != nullptr && remove(*record);
    };
}

const Operation COURSE_INSTALLATION = {"course installation", Queued(CoursePackage()),
                                       InstallQueued, true};
const Operation LIBRARIES_INSTALLATION = {"several-library installation", Queued(LIBRARY_PACKAGE),
                                          InstallQueued, true};
const Operation COURSE_REMOVAL = {"course removal", Queued(CoursePackage(), true),
                                  Removal<CourseRecord>(1, FindCourse, UninstallCourse), false};
const Operation LIBRARY_REMOVAL = {"library removal", Queued(LIBRARY_PACKAGE, true),
                                   Removal<LibraryRecord>(3, FindLibrary, UninstallLibrary), false};

TEST(FaultSweep, CourseInstallation) {
    Sweep(COURSE_INSTALLATION);
}

TEST(FaultSweep, SeveralLibrariesInstallation) {
    Sweep(LIBRARIES_INSTALLATION);
}

TEST(FaultSweep, CourseRemoval) {
    Sweep(COURSE_REMOVAL);
}

TEST(FaultSweep, LibraryRemoval) {
    Sweep(LIBRARY_REMOVAL);
}

TEST(KillSweep, CourseInstallation) {
    KillSweep({"course installation", Queued(LargerCoursePackage()), InstallQueued, true});
}

TEST(KillSweep, SeveralLibrariesInstallation) {
    KillSweep(LIBRARIES_INSTALLATION);
}

TEST(KillSweep, CourseRemoval) {
    KillSweep({"course removal", Queued(LargerCoursePackage(), true),
               Removal<CourseRecord>(1, FindCourse, UninstallCourse), false});
}

TEST(KillSweep, LibraryRemoval) {
    KillSweep(LIBRARY_REMOVAL);
}

TEST(FaultSweep, PropertiesSave) {
    const auto prepare = [](SweepRun& run) {
        const std::string folder = run.roots.at("program");
        run.machine.WriteFile(folder + "\\" + PROPERTIES_FILE_NAME, "TargetFolder = C:\\Old\n");
        ResetProperties();
        ASSERT_TRUE(LoadProperties(folder) && SetProperty(PROPERTY_TARGET_FOLDER, "D:\\New"));
    };
    Sweep({"properties save", prepare, SavePropertiesAtExit, false});
}

}  // namespace
}  // namespace parvane
