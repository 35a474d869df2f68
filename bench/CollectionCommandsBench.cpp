// Whole runs of the terminal program on a large collection (bench/LargeCollection.h: one course
// to a folder, libraries 500 to a folder, one course to five libraries), beside the floor: a
// plain reader of the same headers that opens every content file below the game's folder once
// and reads its first 3000 bytes. Beside them, the stat floor: the least a warm run must do to
// trust a cache of those headers, the size and time of each content file and each folder holding
// one, taken once on every core from a list of them, each file looked up inside its open folder.
// For each size, each command and the floor run cold (the page cache dropped where the machine
// allows it, else simply the first run; the program's state folder removed, so no cache of its own
// helps) and then warm. The cold runs and one warm run go under /usr/bin/time -v, for their peak
// memory; the warm times are the median of runs started straight from here, without the start of
// a shell and a timer program in each. A command's cold runs and its warm runs take turns with
// the floor's, whose medians beside them are printed with the ratios of the two. With --strace,
// once more cold and warm under strace -c for the system-call counts. Prints wall, user and system
// time, maximum resident memory and the counts of the busiest calls. Exit status 1 when a run
// failed or a warm run printed other than the cold one.
//   CollectionCommandsBench PARVANE [--all] [--strace] [ENTRIES...]
//      (defaults: `list libraries` only, no strace, 6000 60000 entries)
//   CollectionCommandsBench --floor FOLDER        (the floor alone, run by the above)
//   CollectionCommandsBench --stat-floor LIST     (the stat floor alone, run by the above)
//   CollectionCommandsBench --make-prefix DIR ENTRIES   (a prefix with the collection, kept)

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LargeCollection.h"
#include "support/wine/TestPrefix.h"

namespace parvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t HEADER_BYTES = 3000;
constexpr int WARM_RUNS = 15;
// A command's cold runs, each after the floor's: a cold run's time depends on the disk's moment.
constexpr int COLD_RUNS = 3;
// The runs of a size: the floor, the stat floor, then the commands.
constexpr std::size_t FIRST_COMMAND = 2;
constexpr std::array<const char*, 9> COUNTED_CALLS = {
    "newfstatat", "statx", "openat", "read", "close", "getdents64", "fstat", "lstat", "total"};

bool IsContentFile(const std::string& name) {
    return name.ends_with(".tcr") || name.ends_with(".tcl");
}

// The floor: every .tcr and .tcl file below `folder`, its first bytes read once. Prints the
// number of files read.
int ReadHeadersOnce(const std::string& folder) {
    std::vector<std::string> pending = {folder};
    std::array<char, HEADER_BYTES> block;
    long files = 0;
    while (!pending.empty()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        DIR* directory = opendir(current.c_str());
        if (directory == nullptr) {
            continue;
        }
        while (const dirent* entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string path = current + "/" + name;
            if (entry->d_type == DT_DIR) {
                pending.push_back(path);
            } else if (IsContentFile(name)) {
                const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd >= 0 && read(fd, block.data(), block.size()) > 0) {
                    ++files;
                }
                if (fd >= 0) {
                    close(fd);
                }
            }
        }
        closedir(directory);
    }
    std::printf("%ld\n", files);
    return 0;
}

// The folders below `folder` that hold content files, each on a line followed by the names of
// its content files, one to a line after a tab.
void WriteStatList(const std::filesystem::path& folder, const std::filesystem::path& list) {
    std::map<std::string, std::vector<std::string>> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && IsContentFile(entry.path().filename().string())) {
            names[entry.path().parent_path().string()].push_back(entry.path().filename());
        }
    }
    std::ofstream out(list);
    for (const auto& [parent, files] : names) {
        out << parent << '\n';
        for (const std::string& name : files) {
            out << '\t' << name << '\n';
        }
    }
}

struct ListedFolder {
    std::string path;
    std::vector<std::string> names;
};

std::vector<ListedFolder> ReadStatList(const std::string& list) {
    std::vector<ListedFolder> folders;
    std::ifstream in(list);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with('\t')) {
            folders.push_back({line, {}});
        } else if (!folders.empty()) {
            folders.back().names.push_back(line.substr(1));
        }
    }
    return folders;
}

// The folder's status and its listed files', each file's looked up inside the open folder.
long StatFolder(const ListedFolder& folder) {
    struct stat status {};
    const int handle = open(folder.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0 || fstat(handle, &status) != 0) {
        return 0;
    }
    long found = 1;
    for (const std::string& name : folder.names) {
        found += fstatat(handle, name.c_str(), &status, 0) == 0 ? 1 : 0;
    }
    close(handle);
    return found;
}

// The stat floor: the statuses of the listed folders and files, each taken once, the folders
// shared out over every core. Prints the number of statuses taken.
int StatListedPaths(const std::string& list) {
    constexpr std::size_t RUN = 16;
    const std::vector<ListedFolder> folders = ReadStatList(list);
    std::atomic<std::size_t> next = 0;
    std::atomic<long> found = 0;
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
        threads.emplace_back([&] {
            for (std::size_t first; (first = next.fetch_add(RUN)) < folders.size();) {
                for (std::size_t j = first; j < std::min(folders.size(), first + RUN); ++j) {
                    found += StatFolder(folders[j]);
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::printf("%ld\n", found.load());
    return 0;
}

struct RunFigures {
    double wall = 0;
    double user = 0;
    double system = 0;
    long maxResidentKb = 0;
    int status = -1;
    std::string output;
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

using Command = std::vector<std::string>;

std::string ShellLine(const Command& command) {
    std::string line;
    for (const std::string& word : command) {
        line += (line.empty() ? "" : " ") + Quoted(word);
    }
    return line;
}

// The number after `label` in /usr/bin/time -v's report.
double FigureAfter(const std::string& report, const std::string& label) {
    const std::size_t at = report.find(label);
    return at == std::string::npos ? -1 : std::atof(report.c_str() + at + label.size());
}

// One run of `command` under /usr/bin/time -v, for its peak memory: a child started straight
// from here would count this program's own as its peak, which the kernel carries over exec.
RunFigures RunUnderTime(const Command& command, const std::filesystem::path& scratch) {
    const std::filesystem::path report = scratch / "time.txt";
    const std::filesystem::path output = scratch / "output.txt";
    const std::string line = "/usr/bin/time -v -o " + Quoted(report) + " " + ShellLine(command) +
                             " >" + Quoted(output) + " 2>&1 </dev/null";
    const Clock::time_point start = Clock::now();
    const int status = std::system(line.c_str());
    RunFigures figures;
    figures.wall = std::chrono::duration<double>(Clock::now() - start).count();
    figures.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::string text = ReadText(report);
    figures.user = FigureAfter(text, "User time (seconds): ");
    figures.system = FigureAfter(text, "System time (seconds): ");
    figures.maxResidentKb =
        static_cast<long>(FigureAfter(text, "Maximum resident set size (kbytes): "));
    figures.output = ReadText(output);
    return figures;
}

// One run of `command`, started straight from here (no shell, no timer program, whose own start
// would add the same few milliseconds to every run) with its output in the scratch folder; its
// times as the kernel counts them for it. Its peak memory is not its own (see RunUnderTime).
RunFigures SpawnedRun(const Command& command, const std::filesystem::path& scratch) {
    const std::filesystem::path output = scratch / "output.txt";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    std::vector<char*> arguments;
    for (const std::string& word : command) {
        arguments.push_back(const_cast<char*>(word.c_str()));
    }
    arguments.push_back(nullptr);
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    int status = 0;
    rusage usage{};
    const bool ran =
        posix_spawn(&child, arguments[0], &files, nullptr, arguments.data(), environ) == 0 &&
        wait4(child, &status, 0, &usage) == child;
    figures.wall = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&files);
    figures.status = ran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    figures.user = static_cast<double>(usage.ru_utime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    figures.system = static_cast<double>(usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    figures.output = ReadText(output);
    return figures;
}

// The calls of `strace -c -f`, by name, with "total".
std::map<std::string, long> CountCalls(const Command& command,
                                       const std::filesystem::path& scratch) {
    const std::filesystem::path report = scratch / "strace.txt";
    const std::string line = "strace -c -f -o " + Quoted(report) + " " + ShellLine(command) +
                             " >/dev/null 2>&1 </dev/null";
    std::map<std::string, long> calls;
    if (std::system(line.c_str()) != 0 && !std::filesystem::exists(report)) {
        return calls;
    }
    std::istringstream text(ReadText(report));
    for (std::string row; std::getline(text, row);) {
        std::istringstream words(row);
        std::vector<std::string> columns;
        for (std::string word; words >> word;) {
            columns.push_back(word);
        }
        if (columns.size() >= 5 && std::isdigit(static_cast<unsigned char>(columns[3][0]))) {
            calls[columns.back()] = std::atol(columns[3].c_str());
        }
    }
    return calls;
}

// Drops the page cache when the machine allows it; false when it does not.
bool DropPageCache() {
    sync();
    std::ofstream control("/proc/sys/vm/drop_caches");
    control << "3\n";
    control.flush();
    return static_cast<bool>(control);
}

void PrintRow(int entries, const std::string& what, const char* mode, const RunFigures& run) {
    std::printf("%7d  %-16s %-5s %8.3f %8.2f %8.2f %8.1f\n", entries, what.c_str(), mode, run.wall,
                run.user, run.system, static_cast<double>(run.maxResidentKb) / 1024);
    std::fflush(stdout);
}

void PrintCalls(const std::string& what, const char* mode,
                const std::map<std::string, long>& calls) {
    std::printf("%7s  %-16s %-5s calls:", "", what.c_str(), mode);
    for (const char* name : COUNTED_CALLS) {
        if (calls.contains(name)) {
            std::printf(" %s %ld", name, calls.at(name));
        }
    }
    std::printf("\n");
}

// The first line in which a warm run's output differs from the cold run's, and both lines.
void PrintFirstDifference(const std::string& cold, const std::string& warm, int warmRun) {
    std::istringstream coldLines(cold);
    std::istringstream warmLines(warm);
    std::string coldLine;
    std::string warmLine;
    for (int line = 1;; ++line) {
        const bool coldEnded = !std::getline(coldLines, coldLine);
        const bool warmEnded = !std::getline(warmLines, warmLine);
        if (coldEnded && warmEnded) {
            return;
        }
        if (coldEnded || warmEnded || coldLine != warmLine) {
            std::printf("  warm run %d, line %d:\n    cold: %s\n    warm: %s\n", warmRun, line,
                        coldEnded ? "(ended)" : coldLine.c_str(),
                        warmEnded ? "(ended)" : warmLine.c_str());
            return;
        }
    }
}

// The floor's median beside a command's, and the share of it that the command took.
void PrintBesideFloor(const char* mode, double floorWall, double commandWall) {
    std::printf("%7s  %-16s %-5s %8.3f  %s / floor %.2f\n", "", "floor beside it", mode, floorWall,
                mode, commandWall / floorWall);
}

// The median of runs by wall time.
RunFigures MedianRun(std::vector<RunFigures> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const RunFigures& a, const RunFigures& b) { return a.wall < b.wall; });
    return runs[runs.size() / 2];
}

struct Settings {
    std::string parvane;
    std::string self;
    std::vector<std::string> commands = {"list libraries"};
    bool strace = false;
    std::vector<int> sizes;
};

int MeasureSize(const Settings& settings, int entries, bool& canDrop) {
    test::TestPrefix prefix;
    bench::WriteLargeCollection(prefix, bench::Layout::Collection, entries);
    const std::filesystem::path scratch = prefix.Folder() / "bench";
    const std::filesystem::path state = prefix.Folder() / "state";
    std::filesystem::create_directories(scratch);
    setenv("XDG_CONFIG_HOME", (prefix.Folder() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (prefix.Folder() / "data").c_str(), 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    // A player's files were written long before the program looks at them: older than the
    // few seconds within which neither the Wine backend nor the header cache trusts a time.
    std::this_thread::sleep_for(std::chrono::seconds(3));

    const std::string game = (prefix.DriveC() / "Games" / "Greenvale 06").string();
    const std::filesystem::path statList = prefix.Folder() / "stat-list.txt";
    WriteStatList(game, statList);
    std::vector<std::pair<std::string, Command>> runs = {
        {"floor", {settings.self, "--floor", game}},
        {"stat floor", {settings.self, "--stat-floor", statList.string()}}};
    for (const std::string& command : settings.commands) {
        Command words = {settings.parvane, "--prefix", prefix.Folder().string()};
        std::istringstream text(command);
        for (std::string word; text >> word;) {
            words.push_back(word);
        }
        runs.push_back({command, words});
    }
    int failures = 0;
    const Command& floor = runs.front().second;
    for (std::size_t kind = 0; kind < runs.size(); ++kind) {
        const auto& [what, command] = runs[kind];
        if (settings.strace) {
            std::filesystem::remove_all(state);
            PrintCalls(what, "cold", CountCalls(command, scratch));
        }
        // A command's runs take turns with the floor's, so that a moment of load on a shared
        // machine, or of a slow disk, falls on both alike.
        const bool besideFloor = kind >= FIRST_COMMAND;
        std::vector<RunFigures> colds;
        std::vector<RunFigures> floorColds;
        for (int run = 0; run < (besideFloor ? COLD_RUNS : 1); ++run) {
            if (besideFloor) {
                canDrop = DropPageCache() && canDrop;
                floorColds.push_back(RunUnderTime(floor, scratch));
            }
            std::filesystem::remove_all(state);
            canDrop = DropPageCache() && canDrop;
            colds.push_back(RunUnderTime(command, scratch));
        }
        RunFigures cold = MedianRun(colds);
        cold.maxResidentKb =
            std::max_element(colds.begin(), colds.end(), [](const auto& a, const auto& b) {
                return a.maxResidentKb < b.maxResidentKb;
            })->maxResidentKb;
        PrintRow(entries, what, "cold", cold);
        if (besideFloor) {
            PrintBesideFloor("cold", MedianRun(floorColds).wall, cold.wall);
        }
        std::vector<RunFigures> warm = {RunUnderTime(command, scratch)};
        std::vector<RunFigures> floorWarm;
        for (int run = 0; run < WARM_RUNS; ++run) {
            if (besideFloor) {
                floorWarm.push_back(SpawnedRun(floor, scratch));
            }
            warm.push_back(SpawnedRun(command, scratch));
        }
        RunFigures median = MedianRun({warm.begin() + 1, warm.end()});
        median.maxResidentKb = warm.front().maxResidentKb;
        PrintRow(entries, what, "warm", median);
        if (besideFloor) {
            PrintBesideFloor("warm", MedianRun(floorWarm).wall, median.wall);
        }
        const auto differing = std::find_if(warm.begin(), warm.end(), [&](const RunFigures& run) {
            return run.output != cold.output;
        });
        const bool sameOutput = differing == warm.end();
        // `analyze` ends with 1 when it finds problems (the cloaked libraries it reports).
        const int worst =
            std::max_element(warm.begin(), warm.end(), [](const auto& a, const auto& b) {
                return a.status < b.status;
            })->status;
        if (cold.status < 0 || cold.status > 1 || worst != cold.status || !sameOutput) {
            std::printf("  %s: exit %d cold, up to %d warm; %s\n", what.c_str(), cold.status, worst,
                        sameOutput ? "same output" : "warm output differs from cold");
            if (!sameOutput) {
                PrintFirstDifference(cold.output, differing->output,
                                     static_cast<int>(differing - warm.begin()));
            }
            ++failures;
        }
        if (settings.strace) {
            PrintCalls(what, "warm", CountCalls(command, scratch));
        }
    }
    return failures;
}

int Run(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--floor") {
        return ReadHeadersOnce(argv[2]);
    }
    if (argc == 3 && std::string(argv[1]) == "--stat-floor") {
        return StatListedPaths(argv[2]);
    }
    if (argc == 4 && std::string(argv[1]) == "--make-prefix") {
        test::TestPrefix prefix;
        bench::WriteLargeCollection(prefix, bench::Layout::Collection, std::atoi(argv[3]));
        std::filesystem::rename(prefix.Folder(), argv[2]);
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PARVANE [--all] [--strace] [ENTRIES...]\n", argv[0]);
        return 2;
    }
    Settings settings;
    settings.parvane = std::filesystem::absolute(argv[1]).string();
    settings.self = std::filesystem::canonical("/proc/self/exe").string();
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--all") {
            // The uninstall of a name no entry has loads the whole catalogue, as the uninstall
            // lists do, each folder's removability included, and then changes nothing.
            settings.commands = {"list libraries", "list courses", "analyze",
                                 "uninstall library NoSuchLibrary"};
        } else if (word == "--strace") {
            settings.strace = true;
        } else {
            settings.sizes.push_back(std::atoi(argv[i]));
        }
    }
    if (settings.sizes.empty()) {
        settings.sizes = {6000, 60000};
    }
    std::printf("%7s  %-16s %-5s %8s %8s %8s %8s\n", "entries", "run", "mode", "wall s", "user s",
                "sys s", "RSS MB");
    int failures = 0;
    bool canDrop = true;
    for (const int entries : settings.sizes) {
        failures += MeasureSize(settings, entries, canDrop);
    }
    std::printf("cold: %s\n", canDrop ? "page cache dropped before the run"
                                      : "first run (the page cache could not be dropped)");
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace parvane

int main(int argc, char** argv) {
    return parvane::Run(argc, argv);
}
