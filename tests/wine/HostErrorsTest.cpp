// errno values as Windows error numbers.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/wine/HostErrors.h"

namespace parvane::wine {
namespace {

TEST(HostErrors, AMissingFileIsTwoAMissingFolderThreeAndAnExistingNameAsCreated) {
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, "/tmp/parvane-absent-file"), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, "/tmp/parvane-absent-folder/file"), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT, "/tmp/parvane-absent-folder/"), ERR_FILE_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(ENOTDIR, "/etc/hostname/x"), ERR_PATH_NOT_FOUND);
    EXPECT_EQ(Win32ErrorFromErrno(EEXIST, "/tmp", Creating::Folder), ERR_ALREADY_EXISTS);
    EXPECT_EQ(Win32ErrorFromErrno(EEXIST, "/tmp", Creating::File), ERR_FILE_EXISTS);
}

TEST(HostErrors, EachErrnoHasItsWindowsNumber) {
    const std::pair<int, Win32Error> cases[] = {
        {EACCES, ERR_ACCESS_DENIED},
        {EPERM, ERR_ACCESS_DENIED},
        {EISDIR, ERR_ACCESS_DENIED},
        {ENOTEMPTY, ERR_DIR_NOT_EMPTY},
        {ENOSPC, ERR_DISK_FULL},
        {EDQUOT, ERR_DISK_FULL},
        {ENAMETOOLONG, ERR_FILENAME_EXCED_RANGE},
        {EROFS, ERR_WRITE_PROTECT},
        {EMFILE, ERR_TOO_MANY_OPEN_FILES},
        {ENFILE, ERR_TOO_MANY_OPEN_FILES},
        {EXDEV, ERR_NOT_SAME_DEVICE},
        {EBUSY, ERR_SHARING_VIOLATION},
        {ENOMEM, ERR_NOT_ENOUGH_MEMORY},
        {EINVAL, ERR_INVALID_PARAMETER},
        {EIO, ERR_GEN_FAILURE},
        {0, ERR_SUCCESS},
    };
    for (const auto& [error, expected] : cases) {
        EXPECT_EQ(Win32ErrorFromErrno(error, "/tmp/x"), expected) << "errno " << error;
    }
}

}  // namespace
}  // namespace parvane::wine
