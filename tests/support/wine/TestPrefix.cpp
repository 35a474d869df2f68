#include "support/wine/TestPrefix.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/wine/files/TempFiles.h"

namespace parvane::test {

namespace {

// The user's profile folder as a Windows path and below drive_c.
struct Profile {
    std::string windowsPath;
    std::filesystem::path underDriveC;
};

Profile UserProfile() {
    std::string windowsPath;
    if (wine::UserProfileFolder(windowsPath) != ERR_SUCCESS) {
        throw std::runtime_error("Test prefix: the user name does not fit code page 1252");
    }
    const std::string user = windowsPath.substr(windowsPath.find_last_of('\\') + 1);
    return {windowsPath, std::filesystem::path("users") / user};
}

// Text as Wine writes it inside a quoted registry string (code page 1252 is ASCII here).
std::string RegistryText(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string SystemRegistry() {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
}

std::string UserRegistry(const std::string& profile) {
    const std::string folder = RegistryText(profile);
    return "WINE REGISTRY Version 2\n"
           ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
           "\n"
           "#arch=win64\n"
           "\n"
           "[Environment] 1796543990\n"
           "#time=1dd8557c4c96514\n"
           "\"TEMP\"=\"" +
           folder +
           "\\\\Temp\"\n\n"
           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] "
           "1796543990\n"
           "#time=1dd8557c4c493a4\n"
           "\"Personal\"=\"" +
           folder + "\\\\Documents\"\n\n";
}

std::filesystem::path MakeTemporaryFolder() {
    const char* variable = std::getenv("TMPDIR");
    std::string pattern =
        std::string(variable != nullptr && *variable != '\0' ? variable : "/tmp") +
        "/parvane-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("Test prefix: cannot create a folder from " + pattern);
    }
    return pattern;
}

void CreatePrefix(const std::filesystem::path& folder) {
    const Profile profile = UserProfile();
    std::filesystem::create_directories(folder / "dosdevices");
    for (const char* userFolder : {"Temp", "Documents"}) {
        std::filesystem::create_directories(folder / "drive_c" / profile.underDriveC / userFolder);
    }
    std::filesystem::create_directory_symlink("../drive_c", folder / "dosdevices" / "c:");
    std::filesystem::create_directory_symlink("/", folder / "dosdevices" / "z:");
    WriteHostFile(folder / "system.reg", SystemRegistry());
    WriteHostFile(folder / "user.reg", UserRegistry(profile.windowsPath));
}

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

// Never follows the drive links out of the prefix; also removes read-only folders.
void RemovePrefix(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "dosdevices", error)) {
        std::filesystem::remove(entry.path(), error);
    }
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_symlink(error) && it->is_directory(error)) {
            chmod(it->path().c_str(), 0700);
        }
    }
    std::filesystem::remove_all(folder, error);
}

}  // namespace

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteHostFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    if (!(file << text).flush()) {
        throw std::runtime_error("Test prefix: cannot write " + path.string());
    }
}

ScopedVariable::ScopedVariable(std::string variable, const std::optional<std::string>& value)
    : name(std::move(variable)) {
    if (const char* old = std::getenv(name.c_str())) {
        saved = old;
    }
    SetVariable(name, value);
}

ScopedVariable::~ScopedVariable() {
    SetVariable(name, saved);
}

TestPrefix::TestPrefix() : folder(MakeTemporaryFolder()) {
    try {
        CreatePrefix(folder);
    } catch (...) {
        RemovePrefix(folder);
        throw;
    }
}

TestPrefix::~TestPrefix() {
    RemovePrefix(folder);
}

}  // namespace parvane::test
