#include "platform/wine/files/FileOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/wine/files/AtomicReplace.h"
#include "platform/wine/files/HostErrors.h"
#include "platform/wine/files/HostSync.h"
#include "platform/wine/paths/FolderNameCache.h"
#include "platform/wine/paths/PathMapping.h"

namespace parvane::wine {

namespace {

bool OwnerMayWrite(const struct stat& status) {
    return (status.st_mode & S_IWUSR) != 0;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Resolves both paths of a copy or move; the source must exist and the target's folder must.
Win32Error ResolveSourceAndTarget(const std::filesystem::path& prefix, const std::string& source,
                                  const std::string& target, HostPath& from, HostPath& to) {
    Win32Error error = ResolveWindowsPath(prefix, source, from);
    if (error == ERR_SUCCESS) {
        error = ResolveWindowsPath(prefix, target, to);
    }
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (!from.Exists()) {
        return NotFoundError(from);
    }
    if (to.missingComponents > 1) {
        return ERR_PATH_NOT_FOUND;
    }
    return ERR_SUCCESS;
}

// Copies the rest of `input` to `output` through a buffer; 0 or the errno of the failure.
int CopyThroughBuffer(int input, int output) {
    std::vector<char> buffer(1 << 18);
    for (;;) {
        const ssize_t got = read(input, buffer.data(), buffer.size());
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t put =
                write(output, buffer.data() + written, static_cast<std::size_t>(got - written));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            written += put;
        }
    }
}

// The errors with which a kernel or file system refuses copy_file_range for these two files,
// where a copy through a buffer still works.
bool CopyRangeRefused(int error) {
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL ||
           error == EBADF || error == ETXTBSY || error == EPERM;
}

// Copies everything from one descriptor to the other, inside the kernel (and without copying
// the data at all where the file system can share it) when it allows; 0 or the errno of the
// failure. Both descriptors' offsets advance, so a copy through a buffer can take over at any
// point.
int CopyData(int input, int output) {
    constexpr std::size_t CHUNK = std::size_t{1} << 30;
    for (;;) {
        const ssize_t copied = copy_file_range(input, nullptr, output, nullptr, CHUNK, 0);
        if (copied == 0) {
            return 0;
        }
        if (copied < 0) {
            if (errno == EINTR) {
                continue;
            }
            return CopyRangeRefused(errno) ? CopyThroughBuffer(input, output) : errno;
        }
    }
}

// Copies the data of `input` to `output` and gives `output` the permissions and times of the
// source (status `fromStatus`), as CopyFileA does; 0 or the errno of the failure.
int CopyContent(int input, const struct stat& fromStatus, int output) {
    const int error = CopyData(input, output);
    const struct timespec times[2] = {fromStatus.st_atim, fromStatus.st_mtim};
    if (error == 0 &&
        (fchmod(output, fromStatus.st_mode & 07777) != 0 || futimens(output, times) != 0)) {
        return errno;
    }
    return error;
}

// Writes a copy of `from` (status `fromStatus`) at `to`. `createFlags` is O_TRUNC to replace a
// file, O_EXCL to refuse one. A copy that fails half-way is removed again.
Win32Error CopyHostFile(const std::filesystem::path& from, const struct stat& fromStatus,
                        const std::filesystem::path& to, int createFlags) {
    const int input = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (input < 0) {
        return Win32ErrorFromErrno(errno, from);
    }
    const int output = open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | createFlags, 0666);
    if (output < 0) {
        const int error = errno;
        close(input);
        return Win32ErrorFromErrno(error, to);
    }
    int error = CopyContent(input, fromStatus, output);
    close(input);
    if (close(output) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(to.c_str());
        return Win32ErrorFromErrno(error, to);
    }
    return ERR_SUCCESS;
}

// MoveFileA across file systems: copy, then delete the original; a failed delete takes the
// copy back, so that the file exists once.
Win32Error MoveAcrossDevices(const HostPath& from, const HostPath& to) {
    struct stat status {};
    if (lstat(from.path.c_str(), &status) != 0) {
        return Win32ErrorFromErrno(errno, from.path);
    }
    if (!S_ISREG(status.st_mode)) {
        return ERR_NOT_SAME_DEVICE;
    }
    const Win32Error error = CopyHostFile(from.path, status, to.path, O_EXCL);
    if (error != ERR_SUCCESS) {
        return error == ERR_FILE_EXISTS ? ERR_ALREADY_EXISTS : error;
    }
    if (unlink(from.path.c_str()) != 0) {
        const int unlinkError = errno;
        unlink(to.path.c_str());
        return Win32ErrorFromErrno(unlinkError, from.path);
    }
    return ERR_SUCCESS;
}

// rename() that never replaces an existing target.
int RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without RENAME_NOREPLACE: the caller has checked that the target is absent.
    struct stat status {};
    if (lstat(to.c_str(), &status) == 0) {
        return EEXIST;
    }
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Resolves a path that must name something, and reads its status: the link's own with
// `Link::Own`, what it points to with `Link::Follow`.
enum class Link { Own, Follow };
Win32Error ResolveExisting(const std::filesystem::path& prefix, const std::string& path, Link link,
                           HostPath& host, struct stat& status) {
    const Win32Error error = ResolveWindowsPath(prefix, path, host);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (!host.Exists()) {
        return NotFoundError(host);
    }
    // The status taken while resolving serves when it is what the host would give now.
    if (host.statusKnown && !host.windows.trailingSeparator &&
        (link == Link::Own || !S_ISLNK(host.status.st_mode))) {
        status = host.status;
        return ERR_SUCCESS;
    }
    const int result =
        link == Link::Follow ? stat(host.path.c_str(), &status) : lstat(host.path.c_str(), &status);
    return result == 0 ? ERR_SUCCESS : Win32ErrorFromErrno(errno, host.path);
}

}  // namespace

std::uint64_t FileTimeOf(const timespec& time) {
    constexpr std::int64_t TICKS_FROM_1601_TO_1970 = 116444736000000000;
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(time.tv_sec) * 10000000 +
                                      time.tv_nsec / 100 + TICKS_FROM_1601_TO_1970);
}

FileStatus FileStatusOf(const struct stat& target, bool isLink, bool hidden) {
    FileStatus fileStatus;
    std::uint32_t& attributes = fileStatus.attributes;
    attributes = S_ISDIR(target.st_mode) ? ATTR_DIRECTORY : ATTR_ARCHIVE;
    if (isLink) {
        attributes |= ATTR_REPARSE_POINT;  // a link that leads nowhere is still there
    }
    if (!OwnerMayWrite(target)) {
        attributes |= ATTR_READONLY;
    }
    if (hidden) {
        attributes |= ATTR_HIDDEN;
    }
    if (!S_ISDIR(target.st_mode)) {
        fileStatus.size = static_cast<std::uint64_t>(target.st_size);
    }
    fileStatus.modified = FileTimeOf(target.st_mtim);
    return fileStatus;
}

Win32Error GetAttributes(const std::filesystem::path& prefix, const std::string& path,
                         std::uint32_t& attributes) {
    FileStatus fileStatus;
    const Win32Error error = GetFileStatus(prefix, path, fileStatus);
    attributes = fileStatus.attributes;
    return error;
}

Win32Error GetFileStatus(const std::filesystem::path& prefix, const std::string& path,
                         FileStatus& fileStatus) {
    fileStatus = FileStatus{};
    HostPath host;
    struct stat status {};
    const Win32Error error = ResolveExisting(prefix, path, Link::Own, host, status);
    if (error != ERR_SUCCESS) {
        return error;
    }
    const bool isLink = S_ISLNK(status.st_mode) && !host.IsDriveRoot();
    struct stat target = status;
    if (S_ISLNK(status.st_mode) && stat(host.path.c_str(), &target) != 0 && !isLink) {
        return Win32ErrorFromErrno(errno, host.path);
    }
    const bool hidden = !host.IsDriveRoot() && host.windows.components.back().front() == '.';
    fileStatus = FileStatusOf(target, isLink, hidden);
    return ERR_SUCCESS;
}

Win32Error MakeFolder(const std::filesystem::path& prefix, const std::string& path) {
    HostPath host;
    const Win32Error error = ResolveWindowsPath(prefix, path, host);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (host.Exists()) {
        return ERR_ALREADY_EXISTS;
    }
    if (host.missingComponents > 1) {
        return ERR_PATH_NOT_FOUND;
    }
    ForgetFolderOf(host.path);
    if (mkdir(host.path.c_str(), 0777) != 0) {
        return Win32ErrorFromErrno(errno, host.path, Creating::Folder);
    }
    return ERR_SUCCESS;
}

Win32Error RemoveEmptyFolder(const std::filesystem::path& prefix, const std::string& path) {
    HostPath host;
    struct stat status {};
    const Win32Error error = ResolveExisting(prefix, path, Link::Own, host, status);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (host.IsDriveRoot()) {
        return ERR_ACCESS_DENIED;
    }
    ForgetFolderOf(host.path);
    if (S_ISLNK(status.st_mode)) {
        // Windows removes a folder link itself and never what it leads to.
        struct stat target {};
        if (stat(host.path.c_str(), &target) == 0 && !S_ISDIR(target.st_mode)) {
            return ERR_DIRECTORY;
        }
        return unlink(host.path.c_str()) == 0 ? ERR_SUCCESS : Win32ErrorFromErrno(errno, host.path);
    }
    if (!S_ISDIR(status.st_mode)) {
        return ERR_DIRECTORY;
    }
    if (!OwnerMayWrite(status)) {
        return ERR_ACCESS_DENIED;  // Windows keeps a read-only folder
    }
    if (rmdir(host.path.c_str()) != 0) {
        const int rmdirError = errno;
        return rmdirError == EEXIST ? ERR_DIR_NOT_EMPTY
                                    : Win32ErrorFromErrno(rmdirError, host.path);
    }
    return ERR_SUCCESS;
}

Win32Error RemoveFile(const std::filesystem::path& prefix, const std::string& path) {
    HostPath host;
    struct stat status {};
    const Win32Error error = ResolveExisting(prefix, path, Link::Own, host, status);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (S_ISDIR(status.st_mode) || (S_ISREG(status.st_mode) && !OwnerMayWrite(status))) {
        return ERR_ACCESS_DENIED;  // DeleteFileA refuses folders and read-only files
    }
    ForgetFolderOf(host.path);
    if (unlink(host.path.c_str()) != 0) {
        return Win32ErrorFromErrno(errno, host.path);
    }
    return ERR_SUCCESS;
}

Win32Error CopyFileOver(const std::filesystem::path& prefix, const std::string& source,
                        const std::string& target) {
    HostPath from;
    HostPath to;
    const Win32Error error = ResolveSourceAndTarget(prefix, source, target, from, to);
    if (error != ERR_SUCCESS) {
        return error;
    }
    struct stat fromStatus {};
    if (stat(from.path.c_str(), &fromStatus) != 0) {
        return Win32ErrorFromErrno(errno, from.path);
    }
    if (S_ISDIR(fromStatus.st_mode)) {
        return ERR_ACCESS_DENIED;
    }
    struct stat toStatus {};
    if (to.Exists() && stat(to.path.c_str(), &toStatus) == 0) {
        if (SameFile(fromStatus, toStatus)) {
            return ERR_SHARING_VIOLATION;  // Windows has the source open while it copies
        }
        if (S_ISDIR(toStatus.st_mode) || !OwnerMayWrite(toStatus)) {
            return ERR_ACCESS_DENIED;
        }
    }
    ForgetFolderOf(to.path);
    return CopyHostFile(from.path, fromStatus, to.path, O_TRUNC);
}

Win32Error MoveFileTo(const std::filesystem::path& prefix, const std::string& source,
                      const std::string& target) {
    HostPath from;
    HostPath to;
    const Win32Error error = ResolveSourceAndTarget(prefix, source, target, from, to);
    if (error != ERR_SUCCESS) {
        return error;
    }
    std::filesystem::path destination = to.path;
    if (to.Exists()) {
        struct stat fromStatus {};
        struct stat toStatus {};
        const bool sameFile = lstat(from.path.c_str(), &fromStatus) == 0 &&
                              lstat(to.path.c_str(), &toStatus) == 0 &&
                              SameFile(fromStatus, toStatus) && !to.IsDriveRoot();
        if (!sameFile) {
            return ERR_ALREADY_EXISTS;
        }
        // Only the case of the name changes, which Windows allows.
        destination = std::filesystem::path(to.path).parent_path() / to.askedLastName;
        if (destination == from.path) {
            return ERR_SUCCESS;
        }
    }
    ForgetFolderOf(from.path);
    ForgetFolderOf(to.path);
    const int renameError = RenameWithoutReplacing(from.path, destination);
    switch (renameError) {
        case 0:
            return ERR_SUCCESS;
        case EEXIST:
            return ERR_ALREADY_EXISTS;
        case EXDEV:
            return MoveAcrossDevices(from, to);
        default:
            return Win32ErrorFromErrno(renameError, destination);
    }
}

Win32Error MoveFileOver(const std::filesystem::path& prefix, const std::string& source,
                        const std::string& target) {
    HostPath from;
    HostPath to;
    const Win32Error error = ResolveSourceAndTarget(prefix, source, target, from, to);
    if (error != ERR_SUCCESS) {
        return error;
    }
    struct stat fromStatus {};
    if (lstat(from.path.c_str(), &fromStatus) != 0) {
        return Win32ErrorFromErrno(errno, from.path);
    }
    if (!S_ISREG(fromStatus.st_mode)) {
        return ERR_ACCESS_DENIED;
    }
    struct stat toStatus {};
    if (to.Exists() && lstat(to.path.c_str(), &toStatus) == 0) {
        if (SameFile(fromStatus, toStatus)) {
            return ERR_SUCCESS;
        }
        if (S_ISDIR(toStatus.st_mode) || (S_ISREG(toStatus.st_mode) && !OwnerMayWrite(toStatus))) {
            return ERR_ACCESS_DENIED;
        }
    }
    if (const int syncError = SyncFile(from.path); syncError != 0) {
        return Win32ErrorFromErrno(syncError, from.path);
    }
    ForgetFolderOf(from.path);
    ForgetFolderOf(to.path);
    if (rename(from.path.c_str(), to.path.c_str()) == 0) {
        SyncFolder(std::filesystem::path(to.path).parent_path());
        return ERR_SUCCESS;
    }
    if (errno != EXDEV) {
        return Win32ErrorFromErrno(errno, to.path);
    }
    // Another file system: a complete copy beside the target is renamed over it.
    const int input = open(from.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (input < 0) {
        return Win32ErrorFromErrno(errno, from.path);
    }
    const ReplaceResult copied = ReplaceFileAtomically(
        to.path, [&](int output) { return CopyContent(input, fromStatus, output); });
    close(input);
    if (!copied.Replaced()) {
        return Win32ErrorFromErrno(copied.error, copied.failedPath);
    }
    unlink(from.path.c_str());
    return ERR_SUCCESS;
}

Win32Error LongPathName(const std::filesystem::path& prefix, const std::string& path,
                        std::string& longPath) {
    longPath.clear();
    HostPath host;
    const Win32Error error = ResolveWindowsPath(prefix, path, host);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (!host.Exists()) {
        return ERR_FILE_NOT_FOUND;  // Windows stops at the first missing name, folder or not
    }
    longPath = FormatWindowsPath(host.windows);
    return ERR_SUCCESS;
}

Win32Error FreeDiskSpace(const std::filesystem::path& prefix, const std::string& path,
                         std::uint64_t& bytes) {
    bytes = 0;
    HostPath host;
    const Win32Error error = ResolveWindowsPath(prefix, path, host);
    if (error != ERR_SUCCESS) {
        return error;
    }
    if (!host.Exists()) {
        return ERR_PATH_NOT_FOUND;
    }
    struct statvfs volume {};
    if (statvfs(host.path.c_str(), &volume) != 0) {
        return Win32ErrorFromErrno(errno, host.path);
    }
    bytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
    return ERR_SUCCESS;
}

}  // namespace parvane::wine
