// The words of parvane's commands: the entries an uninstall argument names, and the property
// assignments it accepts or refuses before touching a prefix, and the names of a prefix's own
// folders (the listings, the refusals a player meets first and the move of an old folder are
// checked in parvane-e2e.sh).

#include <gtest/gtest.h>

#include "app/cli/CommandLineSlips.h"
#include "app/cli/EntryMatching.h"
#include "app/cli/PrefixFolders.h"
#include "app/cli/PropertiesCommand.h"

namespace parvane::cli {
namespace {

const std::vector<ListedEntry> ENTRIES = {
    {"   Pine", "{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}", "Pine", "C:\\G\\courses\\Pine"},
    {"   pine", "{7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02}", "pine", "C:\\G\\courses\\pine2"},
    {"   Ch\xE2teau", "{7c0a1e55-0003-4d3b-9c7e-5a1b2c3d4e03}", "Ch\xE2teau", "C:\\G\\c\\Ch"},
    {"   {7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}", "{7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04}",
     "{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}", "C:\\G\\courses\\odd"},
    {"   Pine (Cloaked)", "{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}", "Pine", "C:\\G\\cloaked"},
};

TEST(EntryMatching, AnArgumentIsAGuidExactlyElseANameInAnyCase) {
    const struct {
        const char* argument;
        std::vector<int> lines;
    } cases[] = {
        {"{7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02}", {1}},
        {"7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02", {1}},    // the braces left out
        {"{7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E0}", {}},    // a GUID is never matched in part
        {"7c0a1e55-0003-4d3b-9c7e-5a1b2c3d4e03", {2}},    // as the registry spells it
        {"{7c0a1e55-0002-4d3b-9c7e-5a1b2c3d4e02}", {1}},  // in any case
        {"pine  ", {0, 1, 4}},                            // trailing blanks unseen in a listing
        {"CH\xE2TEAU", {2}},
        {"PINE", {0, 1, 4}},  // an installed and a cloaked entry may share a name
        {"{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}", {0, 4}},  // the GUID, not the odd name
        {"Pin", {}},
    };
    std::vector<std::string> arguments;
    for (const auto& c : cases)
        arguments.push_back(c.argument);
    const std::vector<ArgumentMatch> matches = MatchArguments(ENTRIES, arguments);
    ASSERT_EQ(matches.size(), std::size(cases));
    for (std::size_t i = 0; i < matches.size(); ++i) {
        EXPECT_EQ(matches[i].argument, cases[i].argument);
        EXPECT_EQ(matches[i].lines, cases[i].lines) << cases[i].argument;
    }
}

TEST(CommandLineSlips, AMistypedWordIsAnsweredWithTheNearestKnownOneOnlyWhenNear) {
    const KnownWords known{{"install", "list", "uninstall"}, {"--guid", "--yes"}, {"--prefix"}};
    const struct {
        std::vector<std::string> arguments;
        const char* slip;
    } cases[] = {
        {{"instal", "a.zip"}, "'instal' is not a command; did you mean 'install'?"},
        {{"--prefix", "lsit", "list"}, ""},  // the value of --prefix is no command
        {{"lsit"}, "'lsit' is not a command; did you mean 'list'?"},
        {{"frobnicate"}, "'frobnicate' is not a command"},
        {{"list", "--gudi", "courses"}, "'--gudi' is not an option; did you mean '--guid'?"},
        {{"--prefix=/p", "uninstall", "course", "x"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindSlip(c.arguments, known), c.slip);
}

// Known keys in any case take their kind of value; anything else is refused with its word.
TEST(PropertyAssignments, KnownKeysTakeTheirKindOfValueAndAnythingElseIsRefused) {
    std::vector<PropertyAssignment> assignments;
    std::string message;
    ASSERT_TRUE(ParsePropertyAssignments({" TargetFolder = C:\\Ch\xC3\xA2teau ", "LibraryFolder="},
                                         assignments, message))
        << message;
    ASSERT_EQ(assignments.size(), 2u);
    EXPECT_EQ(assignments[0].key + "=" + assignments[0].value, "TargetFolder=C:\\Ch\xE2teau");
    EXPECT_EQ(assignments[1].key + "=" + assignments[1].value, "LibraryFolder=");
    const struct {
        std::vector<std::string> words;
        const char* said;
    } cases[] = {
        {{"AskForFlag=1", "AskForFlag"}, "'AskForFlag' sets nothing: write KEY=VALUE"},
        {{"AskForFlag=01"}, "AskForFlag is a switch"},
        {{"TargetFolder=C:\\\xE6\x97\xA5"}, "The value of TargetFolder holds characters"},
        {{"=1"}, "'' is not a property"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParsePropertyAssignments(c.words, assignments, message)) << c.said;
        EXPECT_NE(message.find(c.said), std::string::npos) << message;
    }
}

// A prefix's folder name stays short and readable whatever its path: its last three names,
// each cut and with what a name should not hold as '_', then a digest of the whole path.
TEST(PrefixFolders, NameIsTheLastThreeNamesAndADigestOfThePath) {
    EXPECT_EQ(PrefixFolderName("/home/me/.wine"), "home-me-.wine-635b1cf6");
    EXPECT_EQ(PrefixFolderName("/"), "42099b4a");
    EXPECT_EQ(PrefixFolderName("/mnt/Spiele Bibliothek, extern/Tr\xC3\xA8s longue "
                               "biblioth\xC3\xA8que de jeux/pfx"),
              "Spiele_Bibliothek__exter-Tr__s_longue_biblioth__q-pfx-0759e530");
    EXPECT_EQ(OldPrefixFolderName("/a b,c/d_e"), "_a%20b%2Cc_d%5Fe");
}

}  // namespace
}  // namespace parvane::cli
