#include <gtest/gtest.h>

#include <string>

#include "catalogue/HeaderReaders.h"
#include "platform/Machine.h"
#include "support/ContentFiles.h"
#include "support/FaultInjectingMachine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::CourseFileContent;
using test::LibraryFileContent;
using test::TestGuid;

class HeaderReadersTest : public ::testing::Test {
  protected:
    static CourseFileContent Course(std::size_t totalSize) {
        return {.guid = TestGuid(1),
                .name = "Pine Links",
                .libraryGuids = {TestGuid(2), TestGuid(3)},
                .libraryNames = {"Trees", "Rocks"},
                .totalSize = totalSize};
    }

    test::TestMachine machine;
    const std::string scratch = machine.ScratchFolder();
};

struct CourseReadings {
    bool nameRead = false;
    bool guidsRead = false;
    bool namesRead = false;
    NameAndGuid nameAndGuid;
    ReferencedGuids guids;
    ReferencedNames names;
};

CourseReadings ReadAll(const std::string& path) {
    CourseReadings readings;
    readings.nameRead = GetHeaderNameAndGuid(path, readings.nameAndGuid);
    readings.guidsRead = GetReferencedLibraryGuids(path, readings.guids);
    readings.namesRead = GetReferencedLibraryNames(path, readings.names);
    return readings;
}

TEST_F(HeaderReadersTest, ReadACourseFileOfTheHeaderSizeButOnlyTheNameOfAShorterOne) {
    const std::string path = scratch + "\\Pine.tcr";
    ASSERT_TRUE(test::WriteCourseFile(path, Course(3000)));
    CourseReadings readings = ReadAll(path);
    ASSERT_TRUE(readings.nameRead && readings.guidsRead && readings.namesRead);
    EXPECT_EQ(readings.nameAndGuid.name, "Pine Links");
    EXPECT_EQ(readings.nameAndGuid.guid, TestGuid(1));
    ASSERT_EQ(readings.guids.count, 2);
    EXPECT_EQ(readings.guids.guids[1], TestGuid(3));
    ASSERT_EQ(readings.names.count, 2);
    EXPECT_EQ(readings.names.names[1], "Rocks");

    ASSERT_TRUE(test::WriteCourseFile(path, Course(2999)));
    readings = ReadAll(path);
    EXPECT_TRUE(readings.nameRead);
    EXPECT_FALSE(readings.guidsRead);
    EXPECT_FALSE(readings.namesRead);
}

TEST_F(HeaderReadersTest, ReadALibraryFileOfExactlyTheNameBlockButNotOneByteLess) {
    for (const std::size_t size : {std::size_t{80}, std::size_t{79}}) {
        SCOPED_TRACE(size);
        const std::string path = scratch + "\\Trees" + std::to_string(size) + ".tcl";
        ASSERT_TRUE(test::WriteLibraryFile(
            path, {.guid = TestGuid(2), .name = "Trees", .totalSize = size}));
        NameAndGuid result;
        ASSERT_EQ(GetHeaderNameAndGuid(path, result), size == 80);
        if (size == 80) {
            EXPECT_EQ(result.name, "Trees");
        }
    }
}

TEST_F(HeaderReadersTest, FailForAMissingFileOrAnEmptyPath) {
    test::FaultInjectingMachine counting;
    std::uint64_t opened = 0;
    for (const std::string& path : {scratch + "\\Missing.tcr", std::string()}) {
        opened = counting.CallCount(test::MachineCall::OpenFile);
        const CourseReadings readings = ReadAll(path);
        EXPECT_FALSE(readings.nameRead || readings.guidsRead || readings.namesRead) << path;
    }
    EXPECT_EQ(counting.CallCount(test::MachineCall::OpenFile), opened)
        << "an empty path is not even opened";
}

}  // namespace
}  // namespace parvane
