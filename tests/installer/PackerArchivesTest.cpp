#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/RegistryRoots.h"
#include "support/InstallFixture.h"
#include "support/PackerArchives.h"

namespace parvane {
namespace {

using test::PackerArchive;

class PackedCourse : public test::InstallTest,
                     public ::testing::WithParamInterface<PackerArchive> {};

// Each packer's traits (name spellings, folder entries, extras, data descriptors, leftovers,
// a link entry, zip64) install the same course: every file at each of its destinations with its
// bytes, under its name, the leftovers and the link nowhere.
TEST_P(PackedCourse, InstallsEveryFileWhereItBelongs) {
    const PackerArchive& packed = GetParam();
    const std::string archive = Scratch() + "\\" + packed.name + ".zip";
    ASSERT_TRUE(test::WriteZipFile(archive, packed.bytes));
    ASSERT_TRUE(Install(archive));

    const std::string folder = CourseFolder(packed.courseName);
    std::vector<std::string> expected;
    for (const test::PlacedFile& file : test::PackedCourseFiles(packed.courseName)) {
        expected.push_back(file.path);
        EXPECT_EQ(machine.ReadFile(folder + "\\" + file.path), file.data) << file.path;
        std::uint32_t attributes = 0;
        ASSERT_EQ(TheMachine().GetAttributes(folder + "\\" + file.path, attributes), ERR_SUCCESS);
        EXPECT_EQ(attributes & ATTR_REPARSE_POINT, 0u) << file.path;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test::FilesBelow(folder), expected);
    EXPECT_EQ(test::FilesBelow(GameDir()).size(), expected.size());
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, test::PACKED_COURSE_GUID, "Filename"),
              folder + "\\" + packed.courseName + ".tcr");
    EXPECT_EQ(RegistryValue(GAME_COURSES_KEY, test::PACKED_COURSE_GUID, "Music"),
              folder + "\\theme.mp3");
}

INSTANTIATE_TEST_SUITE_P(Packers, PackedCourse, ::testing::ValuesIn(test::PackerArchives()),
                         test::RowName());

}  // namespace
}  // namespace parvane
