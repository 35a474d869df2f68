#include "platform/wine/files/HostErrors.h"

#include <sys/stat.h>

#include <cerrno>

namespace parvane::wine {

namespace {

bool FolderExists(const std::filesystem::path& folder) {
    struct stat status {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

Win32Error MissingError(const std::filesystem::path& path) {
    std::filesystem::path file = path;
    if (!file.has_filename()) {  // "a/b/" names folder b
        file = file.parent_path();
    }
    return FolderExists(file.parent_path()) ? ERR_FILE_NOT_FOUND : ERR_PATH_NOT_FOUND;
}

}  // namespace

Win32Error Win32ErrorFromErrno(int error, const std::filesystem::path& path, Creating creating) {
    switch (error) {
        case 0:
            return ERR_SUCCESS;
        case ENOENT:
            return MissingError(path);
        case ENOTDIR:
        case ELOOP:
            return ERR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERR_ACCESS_DENIED;
        case EEXIST:
            return creating == Creating::Folder ? ERR_ALREADY_EXISTS : ERR_FILE_EXISTS;
        case ENOTEMPTY:
            return ERR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERR_DISK_FULL;
        case ENAMETOOLONG:
            return ERR_FILENAME_EXCED_RANGE;
        case EROFS:
            return ERR_WRITE_PROTECT;
        case EMFILE:
        case ENFILE:
            return ERR_TOO_MANY_OPEN_FILES;
        case EXDEV:
            return ERR_NOT_SAME_DEVICE;
        case EBUSY:
        case ETXTBSY:
            return ERR_SHARING_VIOLATION;
        case ENOMEM:
            return ERR_NOT_ENOUGH_MEMORY;
        case EINVAL:
            return ERR_INVALID_PARAMETER;
        case EBADF:
            return ERR_INVALID_HANDLE;
        case EILSEQ:
            return ERR_INVALID_NAME;
        default:
            return ERR_GEN_FAILURE;
    }
}

}  // namespace parvane::wine
