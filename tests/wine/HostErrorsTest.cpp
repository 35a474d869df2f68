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

}  // namespace
}  // namespace parvane::wine
