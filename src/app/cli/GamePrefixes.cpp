#include "app/cli/GamePrefixes.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "app/cli/PrefixSession.h"
#include "base/RegistryRoots.h"
#include "platform/AsciiCase.h"
#include "platform/wine/paths/WinePrefix.h"
#include "platform/wine/registry/WineRegistry.h"
#include "platform/wine/text/Codepage.h"

namespace parvane::cli {

namespace {

// The game's key opens when the game is installed; "Install Dir" names its folder.
std::optional<std::string> InstallDirIn(wine::WineRegistry& registry) {
    KeyHandle key = 0;
    if (registry.OpenKey(GAME_HIVE, GAME_ROOT, key) != ERR_SUCCESS) {
        return std::nullopt;
    }
    std::uint32_t type = 0;
    std::string folder;
    if (registry.QueryValue(key, GAME_INSTALL_DIR_VALUE, 1024, type, folder) != ERR_SUCCESS ||
        (type != REGTYPE_SZ && type != REGTYPE_EXPAND_SZ)) {
        folder.clear();
    }
    registry.CloseKey(key);
    if (!folder.empty() && folder.back() == '\0') {
        folder.pop_back();
    }
    return folder;
}

// Whether the registry file names the game's key at all, in any case: a prefix of one of the
// many other games a launcher keeps is passed over without being parsed.
bool MayHoldGame(const std::filesystem::path& systemRegistry) {
    std::ifstream stream(systemRegistry, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(stream), {}};
    const std::string_view root = GAME_ROOT;
    const std::string_view name = root.substr(root.rfind('\\') + 1);
    return std::search(text.begin(), text.end(), name.begin(), name.end(),
                       [](char a, char b) { return UpperAscii(a) == UpperAscii(b); }) != text.end();
}

}  // namespace

std::optional<std::string> GameFolderIn(const std::filesystem::path& folder) {
    std::string message;
    if (!wine::CheckPrefixFolder(folder, message) || !MayHoldGame(folder / "system.reg")) {
        return std::nullopt;
    }
    wine::WineRegistry registry(folder);
    if (!registry.Load(message)) {
        return std::nullopt;
    }
    return InstallDirIn(registry);
}

std::vector<GamePrefix> PrefixesHoldingGame(const std::vector<PrefixCandidate>& candidates) {
    std::vector<GamePrefix> found;
    for (const PrefixCandidate& candidate : candidates) {
        if (std::optional<std::string> gameFolder = GameFolderIn(candidate.folder)) {
            found.push_back({candidate.folder, candidate.launcher, std::move(*gameFolder)});
        }
    }
    return found;
}

namespace {

std::string WinePrefixVariable() {
    const char* variable = std::getenv("WINEPREFIX");
    return variable != nullptr ? variable : "";
}

}  // namespace

std::vector<GamePrefix> FindGamePrefixes() {
    return PrefixesHoldingGame(FindPrefixCandidates(wine::HomeFolder(), WinePrefixVariable()));
}

std::string PrefixLine(const GamePrefix& prefix, std::size_t number) {
    const std::string shownNumber = number == 0 ? "" : std::to_string(number) + ") ";
    return shownNumber + prefix.folder.string() + "  " + prefix.launcher + "  " +
           wine::Cp1252ToUtf8(prefix.gameFolder);
}

PrefixChoice ChooseGamePrefix(const std::vector<GamePrefix>& found, bool canAsk,
                              std::istream& input, std::ostream& output) {
    if (found.size() == 1) {
        return {found.front().folder, EXIT_DONE};
    }
    if (found.empty()) {
        output << "No Wine prefix on this system holds Greenvale 06 (parvane looked in those of "
                  "Steam, Lutris, Bottles, Heroic and PlayOnLinux, in ~/.wine*). Name the "
                  "game's prefix with --prefix DIR or WINEPREFIX=DIR."
               << std::endl;
        return {{}, EXIT_NOT_DONE};
    }
    output << (canAsk ? "Several Wine prefixes hold Greenvale 06:"
                      : "Several Wine prefixes hold Greenvale 06; name one with --prefix DIR:")
           << '\n';
    for (std::size_t i = 0; i < found.size(); ++i) {
        output << PrefixLine(found[i], canAsk ? i + 1 : 0) << '\n';
    }
    if (!canAsk) {
        output << std::flush;
        return {{}, EXIT_USAGE};
    }
    for (;;) {
        output << "The prefix to work on [1-" << found.size() << "]: " << std::flush;
        std::string line;
        if (!std::getline(input, line)) {
            output << std::endl;
            return {{}, EXIT_NOT_DONE};
        }
        char* end = nullptr;
        const unsigned long number = std::strtoul(line.c_str(), &end, 10);
        if (end != line.c_str() &&
            line.find_first_not_of(" \t\r", end - line.c_str()) == std::string::npos &&
            number >= 1 && number <= found.size()) {
            return {found[number - 1].folder, EXIT_DONE};
        }
    }
}

PrefixChoice ChooseSessionPrefix(const std::string& prefixOption, bool answerDefaults) {
    if (!prefixOption.empty()) {
        return {prefixOption, EXIT_DONE};
    }
    if (const std::string variable = WinePrefixVariable(); !variable.empty()) {
        return {variable, EXIT_DONE};
    }
    return ChooseGamePrefix(FindGamePrefixes(), !answerDefaults && isatty(STDIN_FILENO) != 0,
                            std::cin, std::cerr);
}

}  // namespace parvane::cli
