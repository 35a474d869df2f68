// parvane: installs and uninstalls courses and libraries of Greenvale 06 in the Wine prefix in
// which the game runs, analyses the installation and keeps the properties, from a terminal.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/AnalyzeCommand.h"
#include "app/cli/ContentListing.h"
#include "app/cli/InstallCommand.h"
#include "app/cli/HistoryCommand.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/PropertiesCommand.h"
#include "app/cli/PropertiesPlace.h"
#include "app/cli/UninstallCommand.h"
#include "app/cli/VerifyCommand.h"
#include "platform/wine/WinePrefix.h"
#include "shell/About.h"

namespace {

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
  install [ARCHIVE...]
      Installs archives (.zip, .tcx, .tcl), one after the other. Name an archive by its path
      on this system (~/Downloads/course.zip) or by its Windows path in the prefix
      (C:\users\me\Downloads\course.zip); a path on this system must lie below one of the
      prefix's drives: drive_c, or Z:, which a new prefix maps to /. A MyZip archive (a zip of
      zips) is unpacked into a temporary folder and each archive in it installed on its own,
      libraries before courses. Without an archive, the archives in the folder of the last
      installation (OpenArchiveFolder) are listed, numbered, and the numbers to install or a
      path are read.
        parvane install ~/Downloads/Pine_Valley.zip
)"};

constexpr CommandGuide LIST_GUIDE = {"list", R"(
  list courses|libraries [--guid]
      One line per registered course or library: first the installed ones, then those that
      the cloaking tool Hydrel hides from the game, marked (Cloaked). '+ ' marks the game's
      own content; a number in brackets says how many course slots use a library. Then the
      folder of the entry's file, after its GUID with --guid.
        parvane list libraries --guid
)"};

constexpr CommandGuide UNINSTALL_GUIDE = {"uninstall", R"(
  uninstall course|library NAME-OR-GUID...
      Uninstalls each entry named by its GUID (the braces may be left out) or by its name in
      any case. Each removal asks for confirmation, and for a library used by courses warns
      which ones; --defaults answers No. Nothing is uninstalled when an argument names no
      entry, or names several (they are listed with their GUIDs: name one by its GUID).
        parvane uninstall course 'Pine Valley'
)"};

constexpr CommandGuide ANALYZE_GUIDE = {"analyze", R"(
  analyze
      Checks every registered course: that its file is there, and that each library it uses
      is registered, has its file and has the name the course gives it; and counts the
      cloaked ones.
        parvane analyze
)"};

constexpr CommandGuide PROPERTIES_GUIDE = {"properties", R"(
  properties [KEY=VALUE...]
      Shows the twelve properties of the prefix, or sets them and saves them at once (see
      Properties in parvane --help).
        parvane properties AskForTargetFolder=0 AskForInstallProceed=0
)"};

constexpr CommandGuide VERIFY_GUIDE = {"verify", R"(
  verify [NAME-OR-GUID...]
      Compares the files of the courses and libraries named (all registered ones when none
      is) with the record of what their installation placed: it lists each file that is
      missing, or whose size or content (SHA-1) changed since. Entries installed before
      parvane kept records, or by another program, show "no record".
        parvane verify 'Pine Valley'
)"};

constexpr CommandGuide HISTORY_GUIDE = {"history", R"(
  history
      One line per course or library of each installation and uninstall, oldest first: the
      time, install or uninstall, the name, the GUID, the archive and the result (completed;
      not completed, undone; interrupted, undone at the next start).
        parvane history
)"};

constexpr CommandGuide COMMAND_GUIDES[] = {INSTALL_GUIDE,  LIST_GUIDE,    UNINSTALL_GUIDE,
                                           ANALYZE_GUIDE,  VERIFY_GUIDE,  HISTORY_GUIDE,
                                           PROPERTIES_GUIDE};

constexpr const char* GUIDE = R"(
The Wine prefix:
  A Wine prefix is the folder that holds a Windows system for Wine: its drives (drive_c, and
  the drive links in dosdevices/) and its registry (system.reg, user.reg). parvane works on
  --prefix DIR, else $WINEPREFIX, else ~/.wine. It edits the registry files itself, so it
  refuses to start while a wineserver serves the prefix (while Wine programs run in it; end
  them, or run 'wineserver -k' with WINEPREFIX set), while the game or one of its tools runs
  in the prefix, and while another parvane works on it.

Where files go:
  A course goes to <TargetFolder>\courses\<course name>, a library to
  <TargetFolder>\libraries\<library name>; TargetFolder is the game's folder unless the
  properties say otherwise. A caddy book goes to the documents folder, under
  Greenvale 06\Course Notes. Both are registered in HKEY_LOCAL_MACHINE\Software\Quorlix\
  Greenvale 06 as the game (a 32-bit program) sees it: under Software\Wow6432Node in a 64-bit
  prefix. Uninstalling removes only what lies in the game's folder (and the caddy book),
  never a folder that holds other content or the editing tools' source files.

Questions:
  A question shows its answers with the default in capitals ([Y/n], [y/N/c]) and reads one
  line: y or yes, n or no, c or cancel, in any case; an empty line takes the default. When the
  input ends, a question is answered Cancel where it offers it, else No. The installation
  folder is shown and a new one read (an empty line keeps it). --defaults answers every
  question with its default and keeps every folder, without reading input.

Properties:
  Each prefix has its own Parvane.properties, created with default values at the first run,
  in $XDG_CONFIG_HOME/parvane/<prefix path> (~/.config/parvane/<prefix path> when
  XDG_CONFIG_HOME is unset), where <prefix path> is the prefix's absolute path with '/' as
  '_'. For the prefix chosen without --prefix it is now:
    %s
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
  The folders (Windows paths of the prefix):
    TargetFolder               where content goes
    LibraryFolder              where libraries go when UseDefaultLibraryFolder is 0
    OpenArchiveFolder          the folder 'install' without an archive lists
    AskForFlagFolder           the folder the flag file is looked for in

Interrupted changes, records and history:
  Each installation and uninstall is one change, made whole or not at all. Before its first
  step parvane writes a journal of it in $XDG_STATE_HOME/parvane/<prefix path>
  (~/.local/state/parvane/<prefix path> when XDG_STATE_HOME is unset), and files it replaces
  or deletes are kept aside in the prefix's temporary folder until it is complete. A change
  cut short (parvane killed, the terminal closed, a power cut) is undone the next time
  parvane starts on the prefix, and it says so. The same folder holds the record of what
  each installation placed (read by verify) and the history (shown by history).

The report of missing libraries:
  When a course is installed without libraries it needs, parvane offers a report of them,
  MissingLibraries.htm, in $XDG_DATA_HOME/parvane/<prefix path> (~/.local/share/parvane/
  <prefix path> when XDG_DATA_HOME is unset). It prints the report's path and opens it with
  xdg-open when the prefix has a web browser for .htm files.

Exit status:
  0  done: every archive installed, every entry named uninstalled, no problem found by the
     analysis, the properties shown or set
  1  not done: an archive not installed (it failed, was refused or cancelled, or none was
     chosen), an entry not uninstalled (not found, named ambiguously, refused or declined),
     problems found by the analysis, a file missing or changed (verify), a property not set
     or not saved; or parvane refused to start (also when a change interrupted earlier cannot
     be undone)
  2  the command line is wrong

Examples:
  parvane --prefix ~/Games/greenvale --defaults install Pine_Valley.zip Trees.tcl
  parvane uninstall library {7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02}
)";

std::string PropertiesFileForDefaultPrefix() {
    std::error_code error;
    const std::filesystem::path prefix = parvane::wine::ChoosePrefixFolder("");
    const std::filesystem::path canonical = std::filesystem::canonical(prefix, error);
    const std::filesystem::path absolute = error ? std::filesystem::absolute(prefix) : canonical;
    return (parvane::cli::PropertiesRoot() / parvane::cli::PrefixFolderName(absolute) /
            "Parvane.properties")
        .string();
}

std::string Guide() {
    std::string guide = "\nCommands:";
    for (const CommandGuide& command : COMMAND_GUIDES)
        guide += command.text;
    guide += GUIDE;
    guide.replace(guide.find("%s"), 2, PropertiesFileForDefaultPrefix());
    return guide;
}

std::string VersionText() {
    const std::string about = parvane::AboutText();
    const std::size_t first = about.find_first_not_of('\n');
    return about.substr(first, about.find_last_not_of('\n') + 1 - first);
}

int UsageError(const std::string& message) {
    std::cerr << "parvane: " << message << "\nRun with --help for more information." << std::endl;
    return EXIT_USAGE;
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

int main(int argc, char** argv) {
    namespace cli = parvane::cli;
    CLI::App app(DESCRIPTION, "parvane");
    app.footer(Guide());
    app.set_version_flag("--version", VersionText(), "Show the version and exit");
    app.require_subcommand(1);

    cli::SessionSettings settings;
    app.add_option("--prefix", settings.prefixOption, "The Wine prefix to work on")
        ->type_name("DIR");
    app.add_flag("--defaults", settings.answerDefaults,
                 "Answer every question with its default, without reading input");

    std::vector<std::string> archives;
    CLI::App* install = AddCommand(app, INSTALL_GUIDE, "Install archives into the prefix");
    install->add_option("ARCHIVE", archives, "Archives to install; none: choose them from a list");

    std::string listed;
    bool withGuid = false;
    CLI::App* list = AddCommand(app, LIST_GUIDE, "List the registered courses or libraries");
    list->add_option("WHAT", listed, "courses or libraries")
        ->required()
        ->check(CLI::IsMember({"courses", "libraries"}));
    list->add_flag("--guid", withGuid, "Show each entry's GUID");

    std::string removed;
    std::vector<std::string> names;
    CLI::App* uninstall = AddCommand(app, UNINSTALL_GUIDE, "Uninstall courses or libraries");
    uninstall->add_option("KIND", removed, "course or library")
        ->required()
        ->check(CLI::IsMember({"course", "library"}));
    uninstall->add_option("NAME-OR-GUID", names, "The entries to uninstall")->required();

    CLI::App* analyze = AddCommand(app, ANALYZE_GUIDE, "Check the installation for problems");

    std::vector<std::string> verified;
    CLI::App* verify = AddCommand(app, VERIFY_GUIDE, "Check installed files against their records");
    verify->add_option("NAME-OR-GUID", verified, "The entries to check; none: all");

    CLI::App* history = AddCommand(app, HISTORY_GUIDE, "Show the installations and uninstalls");

    std::vector<std::string> words;
    CLI::App* properties = AddCommand(app, PROPERTIES_GUIDE, "Show or set the properties");
    properties->add_option("KEY=VALUE", words, "Properties to set; none: show them all");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : EXIT_USAGE;
    }

    std::vector<cli::PropertyAssignment> assignments;
    std::string message;
    if (properties->parsed() && !cli::ParsePropertyAssignments(words, assignments, message))
        return UsageError(message);
    return cli::RunOnPrefix(settings, [&](const cli::PrefixSession& session) {
        if (list->parsed())
            return cli::ListContent(KindOf(listed), withGuid);
        if (uninstall->parsed())
            return cli::UninstallEntries(KindOf(removed), names);
        if (analyze->parsed())
            return cli::PrintAnalysis();
        if (verify->parsed())
            return cli::VerifyEntries(verified);
        if (history->parsed())
            return cli::PrintHistory();
        if (properties->parsed())
            return cli::ShowOrSetProperties(session, assignments);
        return cli::InstallArchives(session, archives);
    });
}
