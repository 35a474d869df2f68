#include "platform/wine/files/HostSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace parvane::wine {

int SyncFile(const std::filesystem::path& path) {
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return errno;
    }
    const int result = fsync(file) == 0 ? 0 : errno;
    close(file);
    return result;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        fsync(handle);
        close(handle);
    }
}

}  // namespace parvane::wine
