#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/Folders.h"
#include "shell/ArchiveInstallation.h"
#include "shell/FileNameList.h"
#include "support/InstallFixture.h"

namespace parvane {
namespace {

using Titles = std::vector<std::string>;

struct OutcomeCase {
    const char* name;
    std::vector<test::ZipFileEntry> package;
    std::function<void(ScriptedUserInterface&)> expect;
    bool installed;
};

class ArchiveInstallation : public test::InstallTest,
                            public ::testing::WithParamInterface<OutcomeCase> {
  protected:
    ~ArchiveInstallation() override { SetFileNameEntries({}); }
};

// The closing message, the title while the archive is installed, and the clean-up after it:
// the temporary extraction folder and a temporary archive from a MyZip archive are gone.
TEST_P(ArchiveInstallation, ReportsAndCleansUp) {
    const OutcomeCase& c = GetParam();
    const std::string archive = Package(c.package, "inner.zip");
    SetFileNameEntries({{archive, 1, 1}});
    c.expect(ui);
    EXPECT_EQ(InstallQueuedArchive(archive), c.installed);
    EXPECT_EQ(ui.Titles(),
              (Titles{"Parvane for Greenvale 06 - " + archive, "Parvane for Greenvale 06"}));
    EXPECT_FALSE(machine.FolderExists(GetTempExtractionFolder()));
    EXPECT_FALSE(machine.FileExists(archive));
}

const char* const WITH_WARNINGS =
    "Installation complete, with warnings.\nWould you like to view a report of the missing "
    "libraries?";
const test::ZipFileEntry WITH_MISSING_LIBRARY = {"Lakeside.tcr",
                                                 test::CourseData("Lakeside", 1, {{102, "Rocks"}})};

void ExpectMissingLibrary(ScriptedUserInterface& ui) {
    ui.ExpectYesNo(DefaultButton::No, Containing("requires the following library:\n\nRocks"),
                   ANSWER_YES);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ArchiveInstallation,
    ::testing::Values(
        OutcomeCase{
            "Complete",
            {{"Lakeside.tcr", test::CourseData("Lakeside", 1)}},
            [](ScriptedUserInterface& ui) { ui.ExpectInformation("Installation complete."); },
            true},
        OutcomeCase{"NotComplete",
                    {{"readme.txt", "text"}},
                    [](ScriptedUserInterface& ui) {
                        ui.ExpectError(Containing("does not appear\nto be a course or library"));
                        ui.ExpectError("Installation not complete.");
                    },
                    false},
        OutcomeCase{"WithWarningsReportDeclined",
                    {WITH_MISSING_LIBRARY},
                    [](ScriptedUserInterface& ui) {
                        ExpectMissingLibrary(ui);
                        ui.ExpectYesNo(DefaultButton::Yes, WITH_WARNINGS, ANSWER_NO);
                    },
                    true},
        OutcomeCase{"WithWarningsReportWanted",
                    {WITH_MISSING_LIBRARY},
                    [](ScriptedUserInterface& ui) {
                        ExpectMissingLibrary(ui);
                        ui.ExpectYesNo(DefaultButton::Yes, WITH_WARNINGS, ANSWER_YES);
                        ui.ExpectInformation(
                            "The report of the missing libraries is not available in this "
                            "version.");
                    },
                    true}),
    test::RowName());

}  // namespace
}  // namespace parvane
