#include <gtest/gtest.h>

#include <string>

#include "installer/HeaderReaders.h"
#include "platform/Machine.h"
#include "support/ContentFiles.h"
#include "support/ForwardingMachine.h"
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

TEST_F(HeaderReadersTest, ReadACourseFileOfExactlyTheHeaderSize) {
    const std::string path = scratch + "\\Pine.tcr";
    ASSERT_TRUE(test::WriteCourseFile(path, Course(3000)));

    const CourseReadings readings = ReadAll(path);
    ASSERT_TRUE(readings.nameRead);
    EXPECT_EQ(readings.nameAndGuid.name, "Pine Links");
    EXPECT_EQ(readings.nameAndGuid.guid, TestGuid(1));
    ASSERT_TRUE(readings.guidsRead);
    ASSERT_EQ(readings.guids.count, 2);
    EXPECT_EQ(readings.guids.guids[0], TestGuid(2));
    EXPECT_EQ(readings.guids.guids[1], TestGuid(3));
    ASSERT_TRUE(readings.namesRead);
    ASSERT_EQ(readings.names.count, 2);
    EXPECT_EQ(readings.names.names[0], "Trees");
    EXPECT_EQ(readings.names.names[1], "Rocks");
}

TEST_F(HeaderReadersTest, ReadOnlyTheNameFromACourseFileShorterThanTheHeader) {
    for (const std::size_t size : {std::size_t{2999}, std::size_t{100}}) {
        SCOPED_TRACE(size);
        const std::string path = scratch + "\\Short" + std::to_string(size) + ".tcr";
        ASSERT_TRUE(test::WriteCourseFile(path, Course(size)));

        const CourseReadings readings = ReadAll(path);
        EXPECT_TRUE(readings.nameRead);
        EXPECT_EQ(readings.nameAndGuid.name, "Pine Links");
        EXPECT_FALSE(readings.guidsRead);
        EXPECT_FALSE(readings.namesRead);
    }
}

TEST_F(HeaderReadersTest, ReadALibraryFileOfExactlyTheNameBlock) {
    const std::string path = scratch + "\\Trees.tcl";
    ASSERT_TRUE(test::WriteLibraryFile(path, {.guid = TestGuid(2), .name = "Trees"}));
    NameAndGuid result;
    ASSERT_TRUE(GetHeaderNameAndGuid(path, result));
    EXPECT_EQ(result.name, "Trees");
    EXPECT_EQ(result.guid, TestGuid(2));
}

TEST_F(HeaderReadersTest, RefuseAFileShorterThanTheNameBlock) {
    const std::string path = scratch + "\\Short.tcl";
    ASSERT_TRUE(
        test::WriteLibraryFile(path, {.guid = TestGuid(2), .name = "Trees", .totalSize = 79}));
    NameAndGuid result;
    EXPECT_FALSE(GetHeaderNameAndGuid(path, result));
}

TEST_F(HeaderReadersTest, FailForAMissingFile) {
    const CourseReadings readings = ReadAll(scratch + "\\Missing.tcr");
    EXPECT_FALSE(readings.nameRead);
    EXPECT_FALSE(readings.guidsRead);
    EXPECT_FALSE(readings.namesRead);
}

// Counts the files the program asks to open.
class CountingMachine : public test::ForwardingMachine {
  public:
    int opened = 0;
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        ++opened;
        return ForwardingMachine::OpenFile(path, mode, error);
    }
};

TEST_F(HeaderReadersTest, FailForAnEmptyPathWithoutOpeningAnything) {
    CountingMachine counting;
    const CourseReadings readings = ReadAll("");
    EXPECT_FALSE(readings.nameRead);
    EXPECT_FALSE(readings.guidsRead);
    EXPECT_FALSE(readings.namesRead);
    EXPECT_EQ(counting.opened, 0);
}

}  // namespace
}  // namespace parvane
