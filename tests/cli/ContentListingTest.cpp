// A long listing is made in two parts at once; it reads exactly as one made whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/ContentListing.h"
#include "catalogue/Catalogue.h"
#include "support/ScriptedUserInterface.h"

namespace parvane::cli {
namespace {

TEST(ContentListing, ALongListingReadsAsTheLinesOfItsEntriesInOrder) {
    ScriptedUserInterface ui;
    SetUserInterface(&ui);
    std::vector<LibraryRecord> libraries(1500);
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        char guid[64];
        std::snprintf(guid, sizeof guid, "{7C0A1E55-%04zX-4D3B-9C7E-5A1B2C3D4E01}", i);
        libraries[i].guidText = guid;
        libraries[i].name = "Library " + std::to_string(i % 700);  // names shared by two
        // Folders of a few hundred libraries, two of them of one library each.
        libraries[i].filename = "C:\\Games\\Packs\\P" + std::to_string(i < 2 ? i + 10 : i / 300) +
                                "\\L" + std::to_string(i) + ".tcl";
    }
    Catalogue& catalogue = TheCatalogue();
    catalogue.installedLibraries.Clear();
    catalogue.installedLibraries.AppendUnsorted(std::move(libraries));
    catalogue.installedLibraries.Sort();

    const std::vector<ListedEntry> entries = ListedEntries(ContentKind::Libraries);
    std::vector<int> all(entries.size());
    for (std::size_t line = 0; line < all.size(); ++line) {
        all[line] = static_cast<int>(line);
    }
    std::string expected;
    for (const std::string& line : ListingLines(entries, all, true)) {
        expected += line + '\n';
    }
    testing::internal::CaptureStdout();
    ListContent(ContentKind::Libraries, true);
    const std::string printed = testing::internal::GetCapturedStdout();
    catalogue.installedLibraries.Clear();
    SetUserInterface(nullptr);
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1500);
}

}  // namespace
}  // namespace parvane::cli
