// parvane: installs and uninstalls courses and libraries of Greenvale 06 in the Wine prefix in
// which the game runs, analyses the installation and keeps the properties, from a terminal.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/MissingLibrariesReport.h"
#include "app/cli/AnalyzeCommand.h"
#include "app/cli/CommandLineSlips.h"
#include "app/cli/ContentListing.h"
#include "app/cli/HistoryCommand.h"
#include "app/cli/InstallCommand.h"
#include "app/cli/JsonDocuments.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/PrefixesCommand.h"
#include "app/cli/PropertiesCommand.h"
#include "app/cli/Signals.h"
#include "app/cli/UninstallCommand.h"
#include "app/cli/VerifyCommand.h"
#include "platform/MemoryPages.h"
#include "platform/wine/paths/WinePrefix.h"
#include "properties/Properties.h"
#include "shell/About.h"

namespace {

namespace cli = parvane::cli;
using parvane::cli::EXIT_USAGE;

constexpr const char* DESCRIPTION =
    "parvane installs user-made courses and object libraries of the golf game Greenvale 06 into\n"
    "the Wine prefix in which the game runs. It unpacks an archive, works out what it holds,\n"
    "asks what its properties say to ask, copies every file where the game looks for it and\n"
    "registers the content in the game's registry keys. It also lists and uninstalls what is\n"
    "registered and checks the installation for broken references. Wine itself is not needed.\n";

// Each command's part of the guide: what it does and an example. The guide lists them all;
// a command's own --help shows its part.
struct CommandGuide {
    const char* name;
    const char* text;
};

constexpr CommandGuide INSTALL_GUIDE = {"install", R"(
  install [--dry-run] [ARCHIVE...]
      Installs archives (.zip, .tcx, .tcl), one after the other. Name an archive by its path
      on this system (~/Downloads/course.zip) or by its Windows path in the prefix
      (C:\users\me\Downloads\course.zip); a path on this system must lie below one of the
      prefix's drives: drive_c, or Z:, which a new prefix maps to /. A MyZip archive (a zip of
      zips) is unpacked into a temporary folder and each archive in it installed on its own,
      libraries before courses. Without an archive, the archives in the folder of the last
      installation (OpenArchiveFolder) are listed, numbered, and the numbers to install or a
      path are read. At the end a summary on standard output gives one line per archive
      (installed where, declined, or not installed and why, or skipped after an interruption)
      and a tally. With --dry-run the archives are unpacked and checked and the questions
      asked as for an installation, then the files, folders and registry values it would
      write are listed, and nothing is changed; the run says so first, and the summary what
      would be installed.
        parvane install ~/Downloads/Pine_Valley.zip
)"};

constexpr CommandGuide LIST_GUIDE = {"list", R"(
  list courses|libraries [--guid] [--json]
      One line per registered course or library: first the installed ones, then those that
      the cloaking tool Hydrel hides from the game, marked (Cloaked). '+ ' marks the game's
      own content; a number in brackets says how many course slots use a library; a name
      that begins or ends with blanks is quoted. Then the folder of the entry's file (on this
      system, then as Windows sees it), after its GUID with --guid. With --json, one JSON
      document: {"kind", "entries": [{"guid", "name", "headerName", "file", "folder",
      "state": "installed"|"cloaked", "stock", "uses"}]} (uses: null for a course).
        parvane list libraries --guid
)"};

constexpr CommandGuide UNINSTALL_GUIDE = {"uninstall", R"(
  uninstall [--dry-run] course|library NAME-OR-GUID...
      Uninstalls each entry named by its GUID (in any case; the braces may be left out) or by
      its name in any case (trailing blanks do not count). Each removal asks for confirmation,
      for a library used by courses warns which ones, and for one of the game's own libraries
      asks once more; --defaults answers No. Nothing is uninstalled when an argument names no
      entry, or names several (they are listed with their GUIDs: name one by its GUID; a GUID
      that stands both installed and cloaked is named installed:GUID or cloaked:GUID). With
      --dry-run the files, folders and registry keys it would delete are listed instead.
        parvane uninstall course 'Pine Valley'
)"};

constexpr CommandGuide ANALYZE_GUIDE = {"analyze", R"(
  analyze [--json]
      Checks every registered course: that its file is there, and that each library it uses
      is registered, has its file and has the name the course gives it; and counts the
      cloaked ones. With --json: {"problems": [{"kind", "severity", "text"}]}.
        parvane analyze
)"};

constexpr CommandGuide PROPERTIES_GUIDE = {"properties", R"(
  properties [KEY=VALUE...]
      Shows the twelve properties of the prefix, or sets them and saves them at once (see
      Properties in parvane --help).
        parvane properties AskForTargetFolder=0 AskForInstallProceed=0
)"};

constexpr CommandGuide VERIFY_GUIDE = {"verify", R"(
  verify [NAME-OR-GUID...] [--json]
      Compares the files of the courses and libraries named (all registered ones when none
      is) with the record of what their installation placed: it lists each file that is
      missing, or whose size or content (SHA-1) changed since. Entries installed before
      parvane kept records, or by another program, show "no record". With --json:
      {"entries": [{"guid", "name", "record", "files", "problems": [{"state", "path"}]}]}.
        parvane verify 'Pine Valley'
)"};

constexpr CommandGuide HISTORY_GUIDE = {"history", R"(
  history
      One line per course or library of each installation and uninstall, oldest first: the
      time, install or uninstall, the name, the GUID, the archive and the result (completed;
      not completed, undone; interrupted, undone at the next start).
        parvane history
)"};

constexpr CommandGuide PREFIXES_GUIDE = {"prefixes", R"(
  prefixes [--json]
      Lists the Wine prefixes on this system that hold the game, one per line: the prefix,
      the launcher that made it and the game's folder in it. With --json:
      {"prefixes": [{"folder", "launcher", "gameFolder"}]}.
        parvane prefixes
)"};

constexpr CommandGuide COMMAND_GUIDES[] = {INSTALL_GUIDE,    LIST_GUIDE,    UNINSTALL_GUIDE,
                                           ANALYZE_GUIDE,    VERIFY_GUIDE,  HISTORY_GUIDE,
                                           PROPERTIES_GUIDE, PREFIXES_GUIDE};

constexpr const char* GUIDE = R"(
The Wine prefix:
  A Wine prefix is the folder that holds a Windows system for Wine: its drives (drive_c, and
  the drive links in dosdevices/) and its registry (system.reg, user.reg). parvane works on
  --prefix DIR, else $WINEPREFIX, else the prefix that holds the game among those of Steam
  (Proton, in every Steam library), Lutris, Bottles, Heroic and PlayOnLinux and ~/.wine*
  (see 'parvane prefixes'). When several hold it, parvane asks which one on a terminal;
  without a terminal, or with --defaults or --yes, it lists them and ends with status 2. It
  edits the registry files itself, so it refuses to start while a wineserver serves the
  prefix (while Wine programs run in it; end them, or run 'wineserver -k' with WINEPREFIX
  set), while the game or one of its tools runs in the prefix, and while another parvane
  works on it.

Where files go:
  A course goes to <TargetFolder>\courses\<course name>, a library to
  <TargetFolder>\libraries\<library name>; TargetFolder is the game's folder unless the
  properties say otherwise. A caddy book goes to the documents folder, under
  Greenvale 06\Course Notes. Both are registered in HKEY_LOCAL_MACHINE\Software\Quorlix\
  Greenvale 06 as the game (a 32-bit program) sees it: under Software\Wow6432Node in a 64-bit
  prefix. Uninstalling removes only what lies in the game's folder (and the caddy book),
  never a folder that holds other content or the editing tools' source files.

Questions and output:
  A question shows its answers with the default in capitals ([Y/n], [y/N/c]) and reads one
  line: y or yes, n or no, c or cancel, in any case; an empty line takes the default. When the
  input ends, a question is answered Cancel where it offers it, else No. The installation
  folder is shown and a new one read: a full path (/..., ~/... or C:\...), an empty line to
  keep it, or c to cancel this archive (so does the end of input); a folder outside the
  game's folder is asked about first, and after two declined questions the archive is
  skipped. --defaults answers every question with its default and keeps every folder;
  --yes answers Yes to every question and keeps every folder (for scripts, as apt-get -y);
  neither reads input.
  Questions, prompts and the progress line go to the terminal (standard error, or the
  terminal itself when standard error is not one), messages to standard error, and results
  (listings, the analysis, the summary of an install run) to standard output.
  Ctrl+C (SIGINT), SIGTERM or SIGHUP stops the change in hand: it fails as any failed change
  does, this run's temporary folders are removed, nothing further is begun, and parvane
  exits with 130 (143, 129). What a run that was killed left in the temporary folder is
  removed at the next start.

Properties:
  Each prefix has its own Parvane.properties, created with default values at the first run
  (see Files below).
  The switches (1 on, 0 off):
    WarnOnOverwriteFile        warn before overwriting files in the target folder
    WarnOnCloakedLibraries     warn about cloaked libraries a course uses
    SavePropertiesOnExit       save the properties when 'install' ends
    AskForTargetFolder         always ask for the installation folder
    AskForInstallProceed       always ask before installing
    RememberOpenArchiveFolder  remember the folder of the last archive installed
    AskForFlag                 ask for a flag file when a course has none
    UseDefaultLibraryFolder    put each library into its own folder under
                               <TargetFolder>\libraries (0: into LibraryFolder)
  The folders (set as full paths of this system or of the prefix, kept as Windows paths):
    TargetFolder               where content goes
    LibraryFolder              where libraries go when UseDefaultLibraryFolder is 0
    OpenArchiveFolder          the folder 'install' without an archive lists
    AskForFlagFolder           the folder the flag file is looked for in

Interrupted changes, records and history:
  Each installation and uninstall is one change, made whole or not at all: a change that
  fails is undone. Before its first step parvane writes a journal of it in the prefix's
  state folder (see Files below), and the files it replaces or deletes are kept aside in the
  prefix's temporary folder until it is complete. A change cut short (parvane killed, the
  terminal closed, a power cut) is undone the next time parvane starts on the prefix, and it
  says so; one cut short after its commit is completed. The state folder also holds the
  record of what each installation placed (read by verify) and the history (shown by
  history).

The report of missing libraries:
  When a course is installed without libraries it needs, parvane offers a report of them,
  MissingLibraries.htm (see Files below). It prints the missing libraries and the report's
  path, and opens it with xdg-open when the prefix has a web browser for .htm files and the
  desktop names one ($BROWSER, or xdg-mime's handler for text/html).

Files:
  parvane keeps its own files for each prefix in a folder of the prefix in three of your base
  folders. The folder is named after the prefix: the last three names of its path and a
  digest of the whole path, as in compatdata-2876543210-pfx-3f9a61c2. parvane reaches these
  files through the prefix's drives (Z:, which a new prefix maps to /).
    $XDG_CONFIG_HOME/parvane/<prefix>/Parvane.properties   (~/.config when unset)
        the properties
    $XDG_DATA_HOME/parvane/<prefix>/MissingLibraries.htm   (~/.local/share when unset)
        the last report of missing libraries
    $XDG_STATE_HOME/parvane/<prefix>/                      (~/.local/state when unset)
        what parvane keeps for itself about the prefix
  A folder that an earlier version named after the prefix's whole path ('/' as '_') is moved
  to the new name, with everything in it, at the first run. For $WINEPREFIX, or ~/.wine
  when it is unset, they are now:
    {properties}
    {report}
    {state}

Exit status:
  0  done: every archive installed, every entry named uninstalled, no problem found by the
     analysis, the properties shown or set
  1  not done: an archive not installed (it failed, was refused or cancelled, or none was
     chosen), an entry not uninstalled (not found, named ambiguously, refused or declined),
     problems found by the analysis, a file missing or changed (verify), a property not set
     or not saved; or parvane refused to start (also when a change interrupted earlier cannot
     be undone)
  2  the command line is wrong, or it names no prefix and several hold the game
  130, 143, 129  stopped by SIGINT (Ctrl+C), SIGTERM or SIGHUP

Examples:
  parvane --prefix ~/Games/greenvale --defaults install Pine_Valley.zip Trees.tcl
  parvane uninstall library {7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02}
)";

void ReplacePlaceholder(std::string& text, const std::string& placeholder,
                        const std::filesystem::path& value) {
    text.replace(text.find(placeholder), placeholder.size(), value.string());
}

// The guide, with the own files of the prefix chosen without --prefix.
std::string Guide() {
    namespace cli = parvane::cli;
    std::string guide = "\nCommands:";
    for (const CommandGuide& command : COMMAND_GUIDES) {
        guide += command.text;
    }
    guide += GUIDE;
    const std::string folderName =
        cli::PrefixFolderName(cli::CanonicalPrefix(parvane::wine::ChoosePrefixFolder("")));
    ReplacePlaceholder(guide, "{properties}",
                       cli::PropertiesRoot() / folderName / parvane::PROPERTIES_FILE_NAME);
    ReplacePlaceholder(guide, "{report}",
                       cli::ReportRoot() / folderName / parvane::MISSING_LIBRARIES_REPORT_NAME);
    ReplacePlaceholder(guide, "{state}", cli::StateRoot() / folderName / "");
    return guide;
}

std::string VersionText() {
    const std::string about = parvane::AboutText();
    const std::size_t first = about.find_first_not_of('\n');
    return about.substr(first, about.find_last_not_of('\n') + 1 - first);
}

// A command's usage as its part of the guide gives it: "list courses|libraries [--guid]".
std::string UsageLine(const CommandGuide& guide) {
    const std::string_view text = guide.text;
    const std::size_t start = text.find_first_not_of("\n ");
    return std::string(text.substr(start, text.find('\n', start) - start));
}

// The command a refused command line names, if any.
const CommandGuide* NamedCommand(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        for (const CommandGuide& guide : COMMAND_GUIDES) {
            if (argument == guide.name) {
                return &guide;
            }
        }
    }
    return nullptr;
}

int UsageError(const std::string& message, const CommandGuide* command = nullptr) {
    std::cerr << "parvane: " << message << "\n";
    if (command != nullptr) {
        std::cerr << "Usage: parvane [--prefix DIR] [--defaults|--yes] " << UsageLine(*command)
                  << "\nRun 'parvane " << command->name << " --help' for more information."
                  << std::endl;
    } else {
        std::cerr << "Usage: parvane [--prefix DIR] [--defaults|--yes] COMMAND ...\n"
                  << "Run 'parvane --help' for more information." << std::endl;
    }
    return EXIT_USAGE;
}

// Either spelling of a kind, for every command that takes one. Made before main() runs: only a
// machine out of memory at start could make it throw.
// NOLINTNEXTLINE(bugprone-throwing-static-initialization)
const std::vector<std::string> KIND_WORDS = {"course", "courses", "library", "libraries"};

// The word after 'list' or 'uninstall' when it is no kind of content, with the nearest kind.
std::string KindSlip(const std::vector<std::string>& arguments, const CommandGuide& command) {
    const std::string_view name = command.name;
    if (name != LIST_GUIDE.name && name != UNINSTALL_GUIDE.name) {
        return {};
    }
    const auto named = std::find(arguments.begin(), arguments.end(), command.name);
    const auto kind = std::find_if(named, arguments.end(), [](const std::string& argument) {
        return !argument.starts_with('-') && argument != "list" && argument != "uninstall";
    });
    if (kind == arguments.end() ||
        std::find(KIND_WORDS.begin(), KIND_WORDS.end(), *kind) != KIND_WORDS.end()) {
        return {};
    }
    const std::string nearest = cli::NearestWord(*kind, KIND_WORDS);
    return "'" + *kind + "' is neither courses nor libraries" +
           (nearest.empty() ? "" : "; did you mean '" + nearest + "'?");
}

// CLI11's refusal in the words of --help: a mistyped word with the nearest known one, else
// CLI11's own message with the command's usage.
int ExplainParseError(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    cli::KnownWords known;
    for (const CLI::App* command : app.get_subcommands({})) {
        known.commands.push_back(command->get_name());
    }
    for (const CLI::App* scope : app.get_subcommands({})) {
        for (const CLI::Option* option : scope->get_options()) {
            for (const std::string& name : option->get_lnames()) {
                (option->get_expected_min() > 0 ? known.valueOptions : known.options)
                    .push_back("--" + name);
            }
        }
    }
    for (const CLI::Option* option : app.get_options()) {
        for (const std::string& name : option->get_lnames()) {
            (option->get_expected_min() > 0 ? known.valueOptions : known.options)
                .push_back("--" + name);
        }
    }
    const CommandGuide* command = NamedCommand(arguments);
    std::string slip = cli::FindSlip(arguments, known);
    if (slip.empty() && command != nullptr) {
        slip = KindSlip(arguments, *command);
    }
    if (!slip.empty()) {
        return UsageError(slip + (slip.ends_with('?') ? "" : "."), command);
    }
    if (command == nullptr) {
        return UsageError("name a command: install, list, uninstall, analyze or properties.");
    }
    return UsageError(error.what(), command);
}

// A command with its part of the guide; --prefix and --defaults may follow its name.
CLI::App* AddCommand(CLI::App& app, const CommandGuide& guide, const char* description) {
    CLI::App* command = app.add_subcommand(guide.name, description);
    command->footer(guide.text);
    command->fallthrough();
    return command;
}

parvane::cli::ContentKind KindOf(const std::string& word) {
    return word.starts_with("course") ? parvane::cli::ContentKind::Courses
                                      : parvane::cli::ContentKind::Libraries;
}

}  // namespace

// What could escape is a library's refusal of a programming fault (CLI11's of a wrongly built
// command line), which std::terminate reports.
// NOLINTNEXTLINE(bugprone-exception-escape)
int main(int argc, char** argv) {
    parvane::KeepHeapsGrown();
    CLI::App app(DESCRIPTION, "parvane");
    app.footer(Guide());
    app.set_version_flag("--version", VersionText(), "Show the version and exit");
    app.require_subcommand(1);

    cli::SessionSettings settings;
    app.add_option("--prefix", settings.prefixOption, "The Wine prefix to work on")
        ->type_name("DIR");
    CLI::Option* defaults =
        app.add_flag("--defaults", settings.answerDefaults,
                     "Answer every question with its default, without reading input");
    app.add_flag("--yes", settings.answerYes,
                 "Answer Yes to every question, without reading input (for scripts)")
        ->excludes(defaults);

    std::vector<std::string> archives;
    CLI::App* install = AddCommand(app, INSTALL_GUIDE, "Install archives into the prefix");
    install->add_option("ARCHIVE", archives, "Archives to install; none: choose them from a list");
    install->add_flag("--dry-run", settings.dryRun, "List what would change, and change nothing");

    std::string listed;
    bool withGuid = false;
    CLI::App* list = AddCommand(app, LIST_GUIDE, "List the registered courses or libraries");
    list->add_option("courses|libraries", listed, "What to list")
        ->required()
        ->check(CLI::IsMember(KIND_WORDS));
    list->add_flag("--guid", withGuid, "Show each entry's GUID");
    bool asJson = false;
    list->add_flag("--json", asJson, "One JSON document");

    std::string removed;
    std::vector<std::string> names;
    CLI::App* uninstall = AddCommand(app, UNINSTALL_GUIDE, "Uninstall courses or libraries");
    uninstall->add_option("course|library", removed, "What to uninstall")
        ->required()
        ->check(CLI::IsMember(KIND_WORDS));
    uninstall->add_option("NAME-OR-GUID", names, "The entries to uninstall")->required();
    uninstall->add_flag("--dry-run", settings.dryRun, "List what would change, and change nothing");

    CLI::App* analyze = AddCommand(app, ANALYZE_GUIDE, "Check the installation for problems");
    analyze->add_flag("--json", asJson, "One JSON document");

    std::vector<std::string> verified;
    CLI::App* verify = AddCommand(app, VERIFY_GUIDE, "Check installed files against their records");
    verify->add_option("NAME-OR-GUID", verified, "The entries to check; none: all");
    verify->add_flag("--json", asJson, "One JSON document");

    CLI::App* history = AddCommand(app, HISTORY_GUIDE, "Show the installations and uninstalls");

    std::vector<std::string> words;
    CLI::App* properties = AddCommand(app, PROPERTIES_GUIDE, "Show or set the properties");
    properties->add_option("KEY=VALUE", words, "Properties to set; none: show them all");

    CLI::App* prefixes = AddCommand(app, PREFIXES_GUIDE, "List the Wine prefixes with the game");
    prefixes->add_flag("--json", asJson, "One JSON document");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        return ExplainParseError(app, error, argc, argv);
    }

    if (prefixes->parsed()) {
        return cli::ListGamePrefixes(asJson);
    }
    std::vector<cli::PropertyAssignment> assignments;
    std::string message;
    if (properties->parsed() && !cli::ParsePropertyAssignments(words, assignments, message)) {
        return UsageError(message, &PROPERTIES_GUIDE);
    }
    // Only an install or an uninstall may remove content: the other commands' loads examine no
    // folder for it.
    if (list->parsed() || analyze->parsed() || verify->parsed() || history->parsed() ||
        properties->parsed()) {
        settings.catalogueScope = parvane::LoadScope::NoRemoval;
    }
    cli::CatchStopSignals();
    const int status = cli::RunOnPrefix(settings, [&](const cli::PrefixSession& session) {
        if (list->parsed()) {
            return asJson ? cli::PrintListingDocument(KindOf(listed))
                          : cli::ListContent(KindOf(listed), withGuid);
        }
        if (uninstall->parsed()) {
            return cli::UninstallEntries(KindOf(removed), names);
        }
        if (analyze->parsed()) {
            return asJson ? cli::PrintAnalysisDocument() : cli::PrintAnalysis();
        }
        if (verify->parsed()) {
            return cli::VerifyEntries(verified, asJson);
        }
        if (history->parsed()) {
            return cli::PrintHistory();
        }
        if (properties->parsed()) {
            return cli::ShowOrSetProperties(session, assignments);
        }
        return cli::InstallArchives(session, archives);
    });
    return cli::ExitStatusAfterStop(status);
}
