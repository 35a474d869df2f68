#include "platform/wine/files/AtomicReplace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/wine/files/HostSync.h"

namespace parvane::wine {

namespace {

// A short hidden name, so that a target whose name is near the host's limit can still be
// replaced, and a file left by a killed run is out of the game's sight.
constexpr char TEMPORARY_PATTERN[] = ".parvane-replace-XXXXXX";

// errno, never 0: a call that failed without setting it still failed.
int LastError() {
    return errno != 0 ? errno : EIO;
}

}  // namespace

ReplaceResult ReplaceFileAtomically(const std::filesystem::path& target,
                                    const std::function<int(int descriptor)>& write) {
    std::string temporary = (target.parent_path() / TEMPORARY_PATTERN).string();
    const int descriptor = mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return {ReplaceStep::CreatingTemporary, LastError(), temporary};
    }
    int error = write(descriptor);
    if (error == 0 && fsync(descriptor) != 0) {
        error = LastError();
    }
    if (close(descriptor) != 0 && error == 0) {
        error = LastError();
    }
    if (error != 0) {
        unlink(temporary.c_str());
        return {ReplaceStep::Writing, error, temporary};
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        error = LastError();
        unlink(temporary.c_str());
        return {ReplaceStep::Renaming, error, target};
    }
    SyncFolder(target.parent_path());
    return {};
}

}  // namespace parvane::wine
