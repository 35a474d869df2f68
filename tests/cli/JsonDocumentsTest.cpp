// The JSON documents of `--json`, read back with a JSON reader and checked against the registry.

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "analysis/PlacementCheck.h"
#include "app/cli/JsonDocuments.h"
#include "base/RegistryRoots.h"
#include "catalogue/CatalogueLoading.h"
#include "catalogue/GameDetection.h"
#include "catalogue/Guid.h"
#include "platform/wine/text/Codepage.h"
#include "support/ContentFiles.h"
#include "support/InstallFixture.h"

namespace parvane::cli {
namespace {

using nlohmann::json;

class JsonListing : public test::InstallTest {
  public:
    // A registry value as the document shows it: in UTF-8.
    std::string Registered(const std::string& key, const char* name) {
        std::string value;
        return machine.QueryString(GAME_HIVE, key, name, value) ? wine::Cp1252ToUtf8(value)
                                                                : "(none)";
    }
};

TEST_F(JsonListing, EachLibraryIsItsRegistryEntryInUtf8WithItsStateStockAndUses) {
    ASSERT_TRUE(Install(Package({{"Pine.tcr", test::CourseData("Pine", 1, {{2, "Trees"}})},
                                 {"Trees.tcl", test::LibraryData("Trees", 2)}})));
    AddInstalledLibrary("Ch\xE2teau", test::LibraryData("Ch\xE2teau Header", 3));
    // The first of the game's own libraries: {2DE90001-40F4-4B13-A863-B20C58118C22}.
    const std::uint8_t stockGuid[16] = {0x01, 0x00, 0xE9, 0x2D, 0xF4, 0x40, 0x13, 0x4B,
                                        0xA8, 0x63, 0xB2, 0x0C, 0x58, 0x11, 0x8C, 0x22};
    AddInstalledLibrary("Stock", test::LibraryData("Stock", GuidFromBytes(stockGuid)));
    const std::string cloaked =
        std::string(CLOAK_LIBRARIES_KEY) + "\\" + GuidToText(test::TestGuid(4));
    machine.CreateKey(GAME_HIVE, CLOAK_COURSES_KEY);
    machine.SetString(GAME_HIVE, cloaked, "Name", "Hidden");
    machine.SetString(GAME_HIVE, cloaked, "Filename", "C:\\Hidden\\Hidden.tcl");
    ASSERT_TRUE(DetectSupportedGames());
    ASSERT_TRUE(LoadCatalogue());

    const json document = json::parse(ListingDocument(ContentKind::Libraries).dump());
    EXPECT_EQ(document["kind"], "libraries");
    std::map<std::string, json> byName;
    for (const json& entry : document["entries"]) {
        const std::string guid = entry["guid"];
        const std::string key =
            std::string(entry["state"] == "cloaked" ? CLOAK_LIBRARIES_KEY : GAME_LIBRARIES_KEY) +
            "\\" + guid;
        EXPECT_EQ(entry["name"], Registered(key, "Name")) << guid;
        EXPECT_EQ(entry["file"], Registered(key, "Filename")) << guid;
        const std::string file = entry["file"];
        EXPECT_EQ(entry["folder"], file.substr(0, file.rfind('\\'))) << guid;
        EXPECT_EQ(entry["stock"], entry["name"] == "Stock") << guid;
        byName[entry["name"]] = entry;
    }
    ASSERT_EQ(byName.size(), 4u) << document.dump(2);
    EXPECT_EQ(byName["Stock"]["guid"], "{2DE90001-40F4-4B13-A863-B20C58118C22}");
    EXPECT_EQ(byName["Trees"]["uses"], 1);
    EXPECT_EQ(byName["Trees"]["headerName"], "Trees");
    EXPECT_EQ(byName["Ch\xC3\xA2teau"]["headerName"], "Ch\xC3\xA2teau Header");
    EXPECT_EQ(byName["Ch\xC3\xA2teau"]["state"], "installed");
    EXPECT_EQ(byName["Hidden"]["state"], "cloaked");
    EXPECT_EQ(byName["Hidden"]["headerName"], nullptr);  // no file to read it from

    const json courses = json::parse(ListingDocument(ContentKind::Courses).dump());
    ASSERT_EQ(courses["entries"].size(), 1u);
    const json& pine = courses["entries"][0];
    const std::string key = std::string(GAME_COURSES_KEY) + "\\" + pine["guid"].get<std::string>();
    EXPECT_EQ(pine["name"], Registered(key, "Name"));
    EXPECT_EQ(pine["file"], Registered(key, "Filename"));
    EXPECT_EQ(pine["uses"], nullptr);
}

TEST_F(JsonListing, VerificationNamesEachProblemFileAndEntriesWithoutARecord) {
    ASSERT_TRUE(
        Install(Package({{"Pine.tcr", test::CourseData("Pine", 1, {})}, {"hole1.mp3", "hole 1"}})));
    AddInstalledLibrary("Old", test::LibraryData("Old", 9));
    ASSERT_TRUE(LoadCatalogue());
    machine.WriteFile(CourseFolder("Pine") + "\\hole1.mp3", "hole 1!");
    machine.GetMachine().RemoveFile(CourseFolder("Pine") + "\\Pine.tcr");

    const json document = json::parse(VerificationDocument(CheckPlacedFiles({})).dump());
    ASSERT_EQ(document["entries"].size(), 2u) << document.dump(2);
    const json& pine = document["entries"][0];
    EXPECT_EQ(pine["guid"], GuidToText(test::TestGuid(1)));
    EXPECT_EQ(pine["record"], true);
    EXPECT_EQ(pine["files"], 2);
    std::map<std::string, std::string> states;
    for (const json& problem : pine["problems"])
        states[problem["path"]] = problem["state"];
    EXPECT_EQ(states, (std::map<std::string, std::string>{
                          {CourseFolder("Pine") + "\\Pine.tcr", "missing"},
                          {CourseFolder("Pine") + "\\hole1.mp3", "changed"}}));
    EXPECT_EQ(document["entries"][1]["name"], "Old");
    EXPECT_EQ(document["entries"][1]["record"], false);
}

}  // namespace
}  // namespace parvane::cli
