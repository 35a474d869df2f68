#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/StockContent.h"
#include "platform/AsciiCase.h"
#include "support/ContentFiles.h"

namespace parvane {
namespace {

const char* const kGuidA = "{11111111-2222-3333-4444-555555555555}";
const char* const kGuidB = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

CourseRecord Course(std::string guidText, std::string name) {
    CourseRecord course;
    course.guidText = std::move(guidText);
    course.name = std::move(name);
    return course;
}

LibraryRecord Library(std::string guidText, std::string name) {
    LibraryRecord library;
    library.guidText = std::move(guidText);
    library.name = std::move(name);
    return library;
}

class CatalogueTest : public ::testing::Test {
  protected:
    void SetUp() override { TheCatalogue() = Catalogue{}; }
    void TearDown() override { TheCatalogue() = Catalogue{}; }
    Catalogue& catalogue = TheCatalogue();
};

TEST_F(CatalogueTest, EachLookupSearchesItsOwnListsExactlyAndInstalledFirst) {
    catalogue.cloakedCourses.Append(Course(kGuidA, "Hidden course"));
    catalogue.installedLibraries.Append(Library(kGuidA, "Shown library"));
    catalogue.installedLibraries.Append(Library(kGuidB, "Installed"));
    catalogue.cloakedLibraries.Append(Library(kGuidB, "Cloaked"));

    EXPECT_TRUE(IsCourseCloaked(kGuidA));
    EXPECT_TRUE(IsCourseKnown(kGuidA));
    EXPECT_FALSE(IsCourseInstalled(kGuidA));
    EXPECT_FALSE(IsCourseKnown(kGuidB));
    EXPECT_TRUE(IsLibraryInstalled(kGuidA));
    EXPECT_FALSE(IsLibraryCloaked(kGuidA));
    EXPECT_TRUE(IsLibraryCloaked(kGuidB));
    ASSERT_NE(FindLibrary(kGuidB), nullptr);
    EXPECT_EQ(FindLibrary(kGuidB)->name, "Installed");

    const std::string lower = "{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}";
    EXPECT_FALSE(IsLibraryKnown(lower));
    EXPECT_FALSE(IsLibraryKnown(""));
}

// Lookups must give what a walk of the installed list, then the cloaked list, gives, whatever
// sequence of changes came before.
const CourseRecord* WalkForCourse(const std::string& guidText) {
    for (const auto* list : {&TheCatalogue().installedCourses, &TheCatalogue().cloakedCourses}) {
        for (const CourseRecord& course : list->Records()) {
            if (course.guidText == guidText) {
                return &course;
            }
        }
    }
    return nullptr;
}

TEST_F(CatalogueTest, IndexFollowsEveryKindOfChange) {
    const std::vector<std::string> texts = {kGuidA, kGuidB, ToUpperAscii("{aaaa}"), "{aaaa}",
                                            "{0000}"};
    std::mt19937 random(20061);
    auto pick = [&](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    for (int step = 0; step < 200; ++step) {
        CourseList& list = pick(2) == 0 ? catalogue.installedCourses : catalogue.cloakedCourses;
        const std::string name(1, static_cast<char>("aBcDeF"[pick(6)]));
        const std::size_t change = pick(4);
        if (change == 0) {
            list.Clear();
        } else if (change == 1) {
            list.Sort();
        } else if (change == 2) {
            list.AppendUnsorted(Course(texts[pick(texts.size())], name));
        } else {
            list.Append(Course(texts[pick(texts.size())], name));
        }
        for (const std::string& text : texts) {
            ASSERT_EQ(FindCourse(text), WalkForCourse(text)) << "step " << step << " " << text;
            ASSERT_EQ(IsCourseInstalled(text),
                      catalogue.installedCourses.FindByGuidText(text) != nullptr);
        }
    }
}

// The game's own GUIDs are known in any case of their letters, and only as spelled.
TEST(StockContent, AStockGuidIsKnownInAnyCaseOfItsLettersOnly) {
    const auto lower = [](std::string_view guid) {
        std::string text(guid);
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    for (const std::string_view guid : StockCourseGuids) {
        EXPECT_TRUE(IsStockCourse(guid) && IsStockCourse(lower(guid))) << guid;
        EXPECT_FALSE(IsStockLibrary(guid)) << guid;
    }
    for (const std::string_view guid : StockLibraryGuids) {
        EXPECT_TRUE(IsStockLibrary(guid) && IsStockLibrary(lower(guid))) << guid;
        EXPECT_FALSE(IsStockCourse(guid)) << guid;
    }
    const std::string guid(StockLibraryGuids[3]);
    for (const std::string& near : {guid.substr(1, 36), guid + " ", "{" + guid.substr(2),
                                    guid.substr(0, 37) + "|", std::string()}) {
        EXPECT_FALSE(IsStockLibrary(near)) << near;
    }
}

class ReferenceCountTest : public CatalogueTest {
  protected:
    // A course that names `names` libraries and carries `guids` in its first slots.
    static CourseRecord Referencing(int names, const std::vector<GUID>& guids) {
        CourseRecord course = Course("{C}", "Course");
        for (int slot = 0; slot < names; ++slot) {
            course.libraryNames.push_back("Library " + std::to_string(slot));
        }
        course.libraryGuids = guids;
        course.libraryCount = static_cast<int>(guids.size());
        return course;
    }
};

TEST_F(ReferenceCountTest, CountsNamedSlotsOfInstalledAndCloakedCourses) {
    const GUID tree = test::TestGuid(1);
    const GUID rock = test::TestGuid(2);
    std::vector<GUID> forty;
    for (std::uint32_t slot = 1; slot <= 40; ++slot) {
        forty.push_back(test::TestGuid(slot));
    }
    const struct {
        const char* name;
        std::vector<CourseRecord> installed;
        std::vector<CourseRecord> cloaked;
        GUID library;
        int count;
    } cases[] = {
        {"both lists, a slot twice",
         {Referencing(3, {rock, tree, tree}), Referencing(1, {tree})},
         {Referencing(2, {rock, tree})},
         tree,
         4},
        // Slot 2 is examined and ends the walk; slot 3 is never reached, whatever libraryCount.
        {"walk ends after the first unnamed slot",
         {Referencing(2, {test::TestGuid(9), test::TestGuid(9), tree, tree})},
         {},
         tree,
         1},
        {"slot zero examined without names", {Referencing(0, {tree, tree})}, {}, tree, 1},
        {"fortieth slot",
         {Referencing(MAX_REFERENCED_LIBRARIES, forty)},
         {},
         test::TestGuid(40),
         1},
        {"zero GUID slots never count", {Referencing(3, {GUID{}, GUID{}, GUID{}})}, {}, GUID{}, 0},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        catalogue = Catalogue{};
        for (const CourseRecord& course : item.installed) {
            catalogue.installedCourses.Append(course);
        }
        for (const CourseRecord& course : item.cloaked) {
            catalogue.cloakedCourses.Append(course);
        }
        LibraryRecord library = Library("{L}", "Library");
        library.guid = item.library;
        EXPECT_EQ(CountCoursesReferencingLibrary(library), item.count);
    }
}

}  // namespace
}  // namespace parvane
