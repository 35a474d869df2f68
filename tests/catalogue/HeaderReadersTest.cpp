#include <gtest/gtest.h>

#include <string>

#include "catalogue/HeaderReaders.h"
#include "support/ContentFiles.h"
#include "support/FaultInjectingMachine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

using test::TestGuid;

// Which of the three readers succeed on the file.
std::string Readable(const std::string& path, ReferencedGuids& guids, ReferencedNames& names) {
    NameAndGuid nameAndGuid;
    std::string readable;
    readable += GetHeaderNameAndGuid(path, nameAndGuid) ? "N" : "-";
    readable += GetReferencedLibraryGuids(path, guids) ? "G" : "-";
    readable += GetReferencedLibraryNames(path, names) ? "L" : "-";
    return readable;
}

TEST(HeaderReaders, ReadOnlyWholeHeadersAndNeverOpenAnEmptyPath) {
    test::TestMachine machine;
    const std::string course = machine.ScratchFolder() + "\\Pine.tcr";
    ReferencedGuids guids;
    ReferencedNames names;
    for (const std::size_t size : {std::size_t{3000}, std::size_t{2999}}) {
        ASSERT_TRUE(test::WriteCourseFile(course, {.guid = TestGuid(1),
                                                   .name = "Pine Links",
                                                   .libraryGuids = {TestGuid(2), TestGuid(3)},
                                                   .libraryNames = {"Trees", "Rocks"},
                                                   .totalSize = size}));
        EXPECT_EQ(Readable(course, guids, names), size == 3000 ? "NGL" : "N--");
    }
    ASSERT_EQ(guids.count, 2);
    EXPECT_EQ(guids.guids[1], TestGuid(3));
    ASSERT_EQ(names.count, 2);
    EXPECT_EQ(names.names[1], "Rocks");

    test::FaultInjectingMachine counting;
    EXPECT_EQ(Readable(machine.ScratchFolder() + "\\Missing.tcr", guids, names), "---");
    const std::uint64_t opened = counting.CallCount(test::MachineCall::OpenFile);
    EXPECT_EQ(Readable("", guids, names), "---");
    EXPECT_EQ(counting.CallCount(test::MachineCall::OpenFile), opened);
}

}  // namespace
}  // namespace parvane
