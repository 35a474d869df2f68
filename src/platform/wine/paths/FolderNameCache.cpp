#include "platform/wine/paths/FolderNameCache.h"

#include <dirent.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <functional>
#include <unordered_map>

#include "platform/TextHash.h"
#include "platform/wine/text/Codepage.h"
#include "platform/wine/text/NameCompare.h"

namespace parvane::wine {

namespace {

// Beyond this many names (and folders) everything kept is dropped before a folder is added;
// beyond this many resolutions, all of them.
constexpr std::size_t MAX_KEPT_NAMES = 250000;
constexpr std::size_t MAX_RESOLVED_FOLDERS = 100000;
// How long after its last change a folder must be read for its times to tell every later
// change: more than a tick of any local file system's clock (FAT's is two seconds).
constexpr std::int64_t SETTLING_NANOSECONDS = 2'000'000'000;

struct KeptFolder {
    struct stat status {};  // as read
    bool settled = false;   // read at least SETTLING_NANOSECONDS after its last change
    std::vector<std::string> names;
    // Each name that code page 1252 holds, folded (FoldedName), to its place in `names`.
    std::unordered_multimap<std::string, std::size_t> placeOfFolded;
};

struct KeptResolution {
    ResolvedFolder folder;
    std::uint64_t generation = 0;
};

struct Cache {
    // Folders are looked up by a view of their path, without a copy.
    TextMap<KeptFolder> folders;
    // The last folder listed that was not kept: a listing alone does not keep a folder, since
    // a load lists tens of thousands of folders once each.
    KeptFolder listed;
    std::size_t keptNames = 0;  // names and folders
    TextMap<KeptResolution> resolutions;
    // Moves on whenever a kept folder is dropped or read again: every resolution kept before
    // may rest on a name that changed.
    std::uint64_t generation = 0;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

std::string_view FolderKey(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

void Forget(std::string_view key) {
    Cache& cache = TheCache();
    const auto found = cache.folders.find(key);
    if (found != cache.folders.end()) {
        cache.keptNames -= found->second.names.size() + 1;
        cache.folders.erase(found);
        ++cache.generation;
    }
}

// For each byte of code page 1252, the smallest byte with the same upper-case form: two names
// are equal ignoring case exactly when their folded names are equal.
std::array<char, 256> MakeFoldTable() {
    std::array<char, 256> table{};
    for (int byte = 255; byte >= 0; --byte) {
        for (int same = 0; same <= byte; ++same) {
            if (FoldedCharacter(static_cast<char>(same)) ==
                FoldedCharacter(static_cast<char>(byte))) {
                table[static_cast<std::size_t>(byte)] = static_cast<char>(same);
                break;
            }
        }
    }
    return table;
}

std::string FoldedName(std::string_view cp1252Name) {
    static const std::array<char, 256> FOLDED = MakeFoldTable();
    std::string folded(cp1252Name.size(), '\0');
    std::transform(cp1252Name.begin(), cp1252Name.end(), folded.begin(),
                   [](char c) { return FOLDED[static_cast<unsigned char>(c)]; });
    return folded;
}

// The UTF-8 spelling of a code page 1252 name, which for plain ASCII is the name itself.
bool IsUtf8Spelling(std::string_view hostName, std::string_view cp1252Name) {
    const bool ascii = std::all_of(cp1252Name.begin(), cp1252Name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? hostName == cp1252Name : hostName == Cp1252ToUtf8(cp1252Name);
}

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool SameState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino &&
           Nanoseconds(a.st_mtim) == Nanoseconds(b.st_mtim) &&
           Nanoseconds(a.st_ctim) == Nanoseconds(b.st_ctim);
}

bool IsSettled(const struct stat& status) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t lastChange =
        std::max(Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim));
    return Nanoseconds(now) - lastChange >= SETTLING_NANOSECONDS;
}

// Reads the names of the folder whose stat, taken just before, is `status`; 0 or the errno.
int ReadNames(const std::string& folder, const struct stat& status, KeptFolder& kept) {
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return errno;
    }
    kept.status = status;
    kept.settled = IsSettled(status);
    std::string cp1252Name;
    errno = 0;
    while (const dirent* entry = readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (Utf8ToCp1252(name, cp1252Name)) {
            kept.placeOfFolded.emplace(FoldedName(cp1252Name), kept.names.size());
        }
        kept.names.emplace_back(name);
    }
    const int error = errno;
    closedir(directory);
    return error;
}

// Reads the folder into `fresh`; false with `error` when it cannot be read.
bool ReadFolder(const std::string& folder, const struct stat* known, KeptFolder& fresh,
                int& error) {
    struct stat status {};
    if (known != nullptr) {
        status = *known;
    } else if (stat(folder.c_str(), &status) != 0) {
        error = errno;
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = ENOTDIR;
        return false;
    }
    fresh = {};
    error = ReadNames(folder, status, fresh);
    return error == 0;
}

// Reads the folder (again) and keeps it; null with `error` when it cannot be read.
KeptFolder* Read(std::string_view folder, const struct stat* known, int& error) {
    const std::string key(folder);
    Forget(key);
    KeptFolder fresh;
    if (!ReadFolder(key, known, fresh, error)) {
        return nullptr;
    }
    Cache& cache = TheCache();
    if (cache.keptNames + fresh.names.size() + 1 > MAX_KEPT_NAMES) {
        cache.folders.clear();
        cache.keptNames = 0;
        ++cache.generation;
    }
    cache.keptNames += fresh.names.size() + 1;
    return &(cache.folders[key] = std::move(fresh));
}

// The kept folder when it is known to be as it was read, else the folder read now.
KeptFolder* Current(std::string_view key, const struct stat* known, int& error) {
    Cache& cache = TheCache();
    const auto found = cache.folders.find(key);
    if (found == cache.folders.end() || !found->second.settled) {
        return Read(key, known, error);
    }
    struct stat status {};
    if (known != nullptr) {
        status = *known;
    } else if (stat(found->first.c_str(), &status) != 0) {
        error = errno;
        Forget(key);
        return nullptr;
    }
    return SameState(status, found->second.status) ? &found->second : Read(key, &status, error);
}

bool Search(const KeptFolder& kept, std::string_view name, std::string& hostName) {
    const auto [first, last] = kept.placeOfFolded.equal_range(FoldedName(name));
    std::size_t place = kept.names.size();
    for (auto candidate = first; candidate != last; ++candidate) {
        if (IsUtf8Spelling(kept.names[candidate->second], name)) {
            place = candidate->second;
            break;
        }
        place = std::min(place, candidate->second);
    }
    if (place == kept.names.size()) {
        return false;
    }
    hostName = kept.names[place];
    return true;
}

}  // namespace

NameSearch FindName(std::string_view folder, std::string_view name, std::string& hostName,
                    int& error) {
    const std::string_view key = FolderKey(folder);
    Cache& cache = TheCache();
    const auto found = cache.folders.find(key);
    if (found != cache.folders.end() && Search(found->second, name, hostName)) {
        return NameSearch::Found;
    }
    // Not among the names kept: only the folder as it is now can tell.
    const KeptFolder* kept =
        found != cache.folders.end() ? Current(key, nullptr, error) : Read(key, nullptr, error);
    if (kept == nullptr) {
        return NameSearch::Unreadable;
    }
    return Search(*kept, name, hostName) ? NameSearch::Found : NameSearch::Missing;
}

int ListNames(std::string_view folder, const struct stat* status,
              const std::vector<std::string>*& names) {
    const std::string_view key = FolderKey(folder);
    Cache& cache = TheCache();
    int error = 0;
    if (!cache.folders.contains(key)) {
        if (!ReadFolder(std::string(key), status, cache.listed, error)) {
            return error;
        }
        names = &cache.listed.names;
        return 0;
    }
    const KeptFolder* kept = Current(key, status, error);
    if (kept == nullptr) {
        return error;
    }
    names = &kept->names;
    return 0;
}

void ForgetFolderOf(std::string_view path) {
    const std::string_view key = FolderKey(path);
    ++TheCache().generation;
    Forget(key);
    const std::size_t separator = key.find_last_of('/');
    if (separator != std::string::npos) {
        Forget(FolderKey(key.substr(0, separator + 1)));
    }
}

void ForgetFoldersAlong(std::string_view path) {
    const std::string_view key = FolderKey(path);
    for (std::size_t end = key.find('/', 1); end != std::string::npos;
         end = key.find('/', end + 1)) {
        Forget(key.substr(0, end));
    }
    Forget(key);
    ++TheCache().generation;
}

std::uint64_t KeptNamesGeneration() {
    return TheCache().generation;
}

const ResolvedFolder* FindResolvedFolder(std::string_view key) {
    const Cache& cache = TheCache();
    const auto found = cache.resolutions.find(key);
    return found != cache.resolutions.end() && found->second.generation == cache.generation
               ? &found->second.folder
               : nullptr;
}

void KeepResolvedFolder(std::string key, ResolvedFolder folder) {
    Cache& cache = TheCache();
    if (cache.resolutions.size() >= MAX_RESOLVED_FOLDERS) {
        cache.resolutions.clear();
    }
    cache.resolutions.insert_or_assign(std::move(key),
                                       KeptResolution{std::move(folder), cache.generation});
}

}  // namespace parvane::wine
