// parvane: installs courses and libraries of Greenvale 06 into the Wine prefix in which the
// game runs, from a terminal.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "app/cli/InstallCommand.h"
#include "app/cli/PropertiesPlace.h"
#include "platform/wine/WinePrefix.h"
#include "shell/About.h"

namespace {

using parvane::cli::EXIT_USAGE;

constexpr const char* DESCRIPTION =
    "parvane installs user-made courses and object libraries of the golf game Greenvale 06 into\n"
    "the Wine prefix in which the game runs. It unpacks an archive, works out what it holds,\n"
    "asks what its properties say to ask, copies every file where the game looks for it and\n"
    "registers the content in the game's registry keys. Wine itself is not needed.\n";

// The commands to come, named here so that they are not taken for mistakes.
constexpr std::array<std::string_view, 4> LATER_COMMANDS = {"uninstall", "list", "analyze",
                                                            "properties"};

constexpr const char* GUIDE = R"(
Commands:
  install     install archives (.zip, .tcx, .tcl), one after the other
  Not available yet: uninstall course|library NAME-OR-GUID..., list courses|libraries,
  analyze, properties [KEY=VALUE...].

The Wine prefix:
  A Wine prefix is the folder that holds a Windows system for Wine: its drives (drive_c, and
  the drive links in dosdevices/) and its registry (system.reg, user.reg). parvane works on
  --prefix DIR, else $WINEPREFIX, else ~/.wine. It edits the registry files itself, so it
  refuses to start while a wineserver serves the prefix (while Wine programs run in it; end
  them, or run 'wineserver -k' with WINEPREFIX set), while the game or one of its tools runs
  in the prefix, and while another parvane works on it.

Archives:
  Name an archive by its path on this system (~/Downloads/course.zip) or by its Windows path
  in the prefix (C:\users\me\Downloads\course.zip). A path on this system must lie below one
  of the prefix's drives: drive_c, or Z:, which a new prefix maps to /. A MyZip archive (a zip
  of zips) is unpacked into a temporary folder and each archive in it installed on its own,
  libraries before courses. Without an archive, 'install' lists the archives in the folder of
  the last installation (OpenArchiveFolder), numbered, and reads the numbers to install or a
  path.

Where files go:
  A course goes to <TargetFolder>\courses\<course name>, a library to
  <TargetFolder>\libraries\<library name>; TargetFolder is the game's folder unless the
  properties say otherwise. A caddy book goes to the documents folder, under
  Greenvale 06\Course Notes. Both are registered in HKEY_LOCAL_MACHINE\Software\Quorlix\
  Greenvale 06 as the game (a 32-bit program) sees it: under Software\Wow6432Node in a 64-bit
  prefix. Nothing is written outside the prefix but the properties.

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
  Its switches (1 on, 0 off) choose what is asked: AskForTargetFolder, AskForInstallProceed,
  AskForFlag, WarnOnOverwriteFile, WarnOnCloakedLibraries; TargetFolder is where content goes,
  LibraryFolder where libraries go when UseDefaultLibraryFolder is 0. The report of the
  libraries a course was installed without, MissingLibraries.htm, is written beside the file
  and opened in the prefix's web browser when it has one.
)";

constexpr const char* EXIT_AND_EXAMPLES = R"(
Exit status:
  0  every archive was installed
  1  an archive was not installed (it failed, was refused or cancelled, or none was chosen),
     or parvane refused to start
  2  the command line is wrong

Example:
  parvane install ~/Downloads/Pine_Valley.zip
  parvane --prefix ~/Games/greenvale --defaults install Pine_Valley.zip Trees.tcl
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
    std::string guide = GUIDE;
    guide.replace(guide.find("%s"), 2, PropertiesFileForDefaultPrefix());
    return guide + EXIT_AND_EXAMPLES;
}

std::string VersionText() {
    const std::string about = parvane::AboutText();
    const std::size_t first = about.find_first_not_of('\n');
    return about.substr(first, about.find_last_not_of('\n') + 1 - first);
}

// A usage error; a command of a later version gets its own word.
int UsageError(const CLI::App& app, const CLI::ParseError& error, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (std::find(LATER_COMMANDS.begin(), LATER_COMMANDS.end(), word) != LATER_COMMANDS.end()) {
            std::cerr << "parvane: '" << word << "' is not available yet; see parvane --help.\n";
            return EXIT_USAGE;
        }
    }
    return app.exit(error) == 0 ? 0 : EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app(DESCRIPTION, "parvane");
    app.footer(Guide());
    app.set_version_flag("--version", VersionText(), "Show the version and exit");
    app.require_subcommand(1);

    parvane::cli::InstallSettings settings;
    app.add_option("--prefix", settings.prefixOption, "The Wine prefix to work on")
        ->type_name("DIR");
    app.add_flag("--defaults", settings.answerDefaults,
                 "Answer every question with its default, without reading input");

    CLI::App* install = app.add_subcommand("install", "Install archives into the prefix");
    install->add_option("ARCHIVE", settings.archives,
                        "Archives to install; none: choose them from a list");
    install->fallthrough();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return UsageError(app, error, argc, argv);
    }
    return parvane::cli::RunInstallCommand(settings);
}
