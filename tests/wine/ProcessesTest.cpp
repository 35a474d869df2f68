// Image names in the process list of a Wine host.

#include <gtest/gtest.h>

#include "platform/wine/processes/HostProcesses.h"

namespace parvane::wine {
namespace {

TEST(Processes, ImageNameIsTheLastComponentOfTheFirstArgument) {
    using namespace std::string_literals;
    EXPECT_EQ(ImageNameFromCommandLine("C:\\Program Files\\Quorlix\\GV2006.EXE\0-w\0"s),
              "GV2006.EXE");
    EXPECT_EQ(ImageNameFromCommandLine("/usr/lib/wine/wine64-preloader\0-p0\0"s),
              "wine64-preloader.exe");
    EXPECT_EQ(ImageNameFromCommandLine("./build/parvane\0pack.zip\0"s), "parvane.exe");
}

}  // namespace
}  // namespace parvane::wine
