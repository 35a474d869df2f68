// parvane: installs and uninstalls courses and libraries of Greenvale 06 in the Wine prefix in
// which the game runs, analyses the installation and keeps the properties, from a terminal.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/MissingLibrariesReport.h"
#include "app/cli/AnalyzeCommand.h"
#include "app/cli/ContentListing.h"
#include "app/cli/InstallCommand.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/PrefixSession.h"
#include "app/cli/PropertiesCommand.h"
#include "app/cli/UninstallCommand.h"
#include "platform/wine/WinePrefix.h"
#include "properties/Properties.h"
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
      entry, or names several (they are listed with their GUIDs: name one by its GUID). A GUID
      that stands both installed and cloaked is named installed:GUID or cloaked:GUID.
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

constexpr CommandGuide COMMAND_GUIDES[] = {INSTALL_GUIDE, LIST_GUIDE, UNINSTALL_GUIDE,
                                           ANALYZE_GUIDE, PROPERTIES_GUIDE};

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
  The folders (Windows paths of the prefix):
    TargetFolder               where content goes
    LibraryFolder              where libraries go when UseDefaultLibraryFolder is 0
    OpenArchiveFolder          the folder 'install' without an archive lists
    AskForFlagFolder           the folder the flag file is looked for in

The report of missing libraries:
  When a course is installed without libraries it needs, parvane offers a report of them,
  MissingLibraries.htm (see Files below). It prints the report's path and opens it with
  xdg-open when the prefix has a web browser for .htm files.

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
  to the new name, with everything in it, at the first run. For the prefix chosen without
  --prefix they are now:
    {properties}
    {report}
    {state}

Exit status:
  0  done: every archive installed, every entry named uninstalled, no problem found by the
     analysis, the properties shown or set
  1  not done: an archive not installed (it failed, was refused or cancelled, or none was
     chosen), an entry not uninstalled (not found, named ambiguously, refused or declined),
     problems found by the analysis, a property not set or not saved; or parvane refused to
     start
  2  the command line is wrong

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
    for (const CommandGuide& command : COMMAND_GUIDES)
        guide += command.text;
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
        if (properties->parsed())
            return cli::ShowOrSetProperties(session, assignments);
        return cli::InstallArchives(session, archives);
    });
}
