#include "app/cli/LauncherPrefixes.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "app/cli/VdfText.h"

namespace parvane::cli {

namespace fs = std::filesystem;

namespace {

// The entries of `folder`, sorted; none when it cannot be read.
std::vector<fs::path> FolderEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<fs::path> FilesEndingIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    for (const fs::path& entry : FolderEntries(folder)) {
        if (entry.extension() == extension) {
            files.push_back(entry);
        }
    }
    return files;
}

bool ReadText(const fs::path& file, std::string& text) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream content;
    content << stream.rdbuf();
    text = content.str();
    return stream.good() || stream.eof();
}

// A launcher's path: "~/x" below the home folder.
fs::path Expanded(const std::string& path, const fs::path& home) {
    if (path == "~" || path.starts_with("~/")) {
        return home / path.substr(std::min<std::size_t>(path.size(), 2));
    }
    return path;
}

class CandidateList {
  public:
    void Add(const fs::path& folder, const char* launcher) {
        std::error_code error;
        if (folder.empty() || !fs::is_directory(folder, error)) {
            return;
        }
        const fs::path canonical = fs::canonical(folder, error);
        const fs::path& identity = error ? folder : canonical;
        if (std::find(seen.begin(), seen.end(), identity) != seen.end()) {
            return;
        }
        seen.push_back(identity);
        candidates.push_back({error ? folder.lexically_normal() : canonical, launcher});
    }
    std::vector<PrefixCandidate> candidates;

  private:
    std::vector<fs::path> seen;
};

void AddSteam(const fs::path& home, CandidateList& list) {
    for (const fs::path& root : {home / ".steam/steam", home / ".local/share/Steam",
                                 home / ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        std::vector<fs::path> libraries = {root};
        std::string text;
        std::vector<VdfValue> values;
        if (ReadText(root / "steamapps/libraryfolders.vdf", text) && ReadVdfValues(text, values)) {
            for (const std::string& path : SteamLibraryPaths(values)) {
                libraries.push_back(Expanded(path, home));
            }
        }
        for (const fs::path& library : libraries) {
            for (const fs::path& game : FolderEntries(library / "steamapps/compatdata")) {
                list.Add(game / "pfx", "Steam");
            }
        }
    }
}

// A mapping's `prefix`; an undefined node when there is none.
YAML::Node PrefixIn(const YAML::Node& node) {
    return node && node.IsMap() ? node["prefix"] : YAML::Node(YAML::NodeType::Undefined);
}

// Lutris keeps a game's prefix under `game:`; a hand-written file may have it at the top.
void AddLutris(const fs::path& home, CandidateList& list) {
    for (const fs::path& folder :
         {home / ".config/lutris/games", home / ".local/share/lutris/games"}) {
        for (const fs::path& file : FilesEndingIn(folder, ".yml")) {
            try {
                const YAML::Node config = YAML::LoadFile(file.string());
                for (const YAML::Node& prefix : {PrefixIn(config["game"]), PrefixIn(config)}) {
                    if (prefix && prefix.IsScalar()) {
                        list.Add(Expanded(prefix.as<std::string>(), home), "Lutris");
                    }
                }
            } catch (const YAML::Exception&) {  // NOLINT(bugprone-empty-catch)
                // an unreadable game configuration names no prefix
            }
        }
    }
}

void AddBottles(const fs::path& home, CandidateList& list) {
    for (const fs::path& folder : {home / ".local/share/bottles/bottles",
                                   home / ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
        for (const fs::path& bottle : FolderEntries(folder)) {
            list.Add(bottle, "Bottles");
        }
    }
}

// A game's settings file holds one object per game, each with its `winePrefix`.
void AddHeroic(const fs::path& home, CandidateList& list) {
    for (const fs::path& file : FilesEndingIn(home / ".config/heroic/GamesConfig", ".json")) {
        std::string text;
        if (!ReadText(file, text)) {
            continue;
        }
        const nlohmann::json config = nlohmann::json::parse(text, nullptr, false);
        if (!config.is_object()) {
            continue;
        }
        for (const auto& [name, game] : config.items()) {
            if (game.is_object() && game.contains("winePrefix") && game["winePrefix"].is_string()) {
                list.Add(Expanded(game["winePrefix"].get<std::string>(), home), "Heroic");
            }
        }
    }
    for (const fs::path& prefix : FolderEntries(home / "Games/Heroic/Prefixes")) {
        list.Add(prefix, "Heroic");
    }
}

void AddPlayOnLinux(const fs::path& home, CandidateList& list) {
    for (const fs::path& prefix : FolderEntries(home / ".PlayOnLinux/wineprefix")) {
        list.Add(prefix, "PlayOnLinux");
    }
}

void AddWine(const fs::path& home, const std::string& winePrefixVariable, CandidateList& list) {
    if (!winePrefixVariable.empty()) {
        list.Add(winePrefixVariable, "Wine");
    }
    for (const fs::path& entry : FolderEntries(home)) {
        if (entry.filename().string().starts_with(".wine")) {
            list.Add(entry, "Wine");
        }
    }
}

}  // namespace

std::vector<PrefixCandidate> FindPrefixCandidates(const fs::path& home,
                                                  const std::string& winePrefixVariable) {
    CandidateList list;
    AddSteam(home, list);
    AddLutris(home, list);
    AddBottles(home, list);
    AddHeroic(home, list);
    AddPlayOnLinux(home, list);
    AddWine(home, winePrefixVariable, list);
    return list.candidates;
}

}  // namespace parvane::cli
