#include "app/cli/PrefixLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace parvane::cli {

PrefixLock::~PrefixLock() {
    if (descriptor >= 0) {
        close(descriptor);
    }
}

bool PrefixLock::Take(const std::filesystem::path& prefix, std::string& message) {
    descriptor = open(prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        message =
            "Couldn't open the Wine prefix '" + prefix.string() + "': " + std::strerror(errno);
        return false;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    const int error = errno;
    close(descriptor);
    descriptor = -1;
    message =
        error == EWOULDBLOCK
            ? "Another parvane is working on the Wine prefix '" + prefix.string() +
                  "'.\nRunning two at once could leave its registry inconsistent: wait "
                  "for the other one to finish and try again."
            : "Couldn't lock the Wine prefix '" + prefix.string() + "': " + std::strerror(error);
    return false;
}

}  // namespace parvane::cli
