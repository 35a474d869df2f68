#include "app/cli/HostPaths.h"

#include "platform/wine/paths/PathMapping.h"
#include "platform/wine/paths/WinePrefix.h"

namespace parvane::cli {

std::string HostPathOf(const std::filesystem::path& prefix, const std::string& windowsPath) {
    wine::HostPath host;
    if (windowsPath.empty() || wine::ResolveWindowsPath(prefix, windowsPath, host) != ERR_SUCCESS) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(host.path, error);
    std::string shown = error ? host.path : canonical.string();
    const std::string home = wine::HomeFolder().string();
    if (!home.empty() && home != "/" && shown.starts_with(home + "/")) {
        return "~" + shown.substr(home.size());
    }
    return shown;
}

}  // namespace parvane::cli
