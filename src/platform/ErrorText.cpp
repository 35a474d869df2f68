#include "platform/ErrorText.h"

namespace parvane {

// The Windows runtime maps Win32 errors to errno values (its _dosmaperr table) and strerror
// then gives these texts; everything it does not list becomes EINVAL.
std::string RuntimeErrorText(Win32Error error) {
    switch (error) {
        case ERR_SUCCESS:
            return "No error";
        case ERR_FILE_NOT_FOUND:
        case ERR_PATH_NOT_FOUND:
        case ERR_INVALID_NAME:
        case ERR_BAD_PATHNAME:
        case ERR_FILENAME_EXCED_RANGE:
            return "No such file or directory";
        case ERR_TOO_MANY_OPEN_FILES:
            return "Too many open files";
        case ERR_ACCESS_DENIED:
        case ERR_WRITE_PROTECT:
        case ERR_SHARING_VIOLATION:
        case ERR_DIRECTORY:
            return "Permission denied";
        case ERR_INVALID_HANDLE:
            return "Bad file descriptor";
        case ERR_NOT_ENOUGH_MEMORY:
            return "Not enough space";
        case ERR_NOT_SAME_DEVICE:
            return "Improper link";
        case ERR_FILE_EXISTS:
        case ERR_ALREADY_EXISTS:
            return "File exists";
        case ERR_DISK_FULL:
            return "No space left on device";
        case ERR_DIR_NOT_EMPTY:
            return "Directory not empty";
        default:
            return "Invalid argument";
    }
}

}  // namespace parvane
