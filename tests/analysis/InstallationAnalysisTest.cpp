#include <gtest/gtest.h>

#include "analysis/AnalysisDialog.h"
#include "analysis/InstallationAnalysis.h"
#include "uninstall/InstalledContent.h"

namespace parvane::test {
namespace {

class InstallationAnalysis : public InstalledContentTest {};

TEST_F(InstallationAnalysis, EveryKindOfFindingGroupedByCourse) {
    const std::string missing = AddLibrary(Folder("Trees"), 2).files[0];
    const std::string renamed = AddLibrary(Folder("Trees"), 3).files[0];
    AddLibrary(Folder("Trees"), 4, CLOAK_LIBRARIES_KEY);
    AddLibrary(Folder("Trees"), 5, CLOAK_LIBRARIES_KEY);
    const std::string missingCloaked = AddLibrary(Folder("Trees"), 6, CLOAK_LIBRARIES_KEY).files[0];
    ASSERT_TRUE(WriteLibraryFile(renamed, {TestGuid(3), "lib 3"}));
    AddCourse(Folder("Alpha"), "Alpha", "Alpha", {1, 2, 3, 4});
    AddCourse(Folder("Beta"), "Beta", "Beta", {4, 6, 5});
    AddCourse(Folder("Delta"), "Delta", "Delta");
    const std::string gone =
        AddCourse(Folder("Gamma"), "Gamma", "Gamma", {1, 2}, CLOAK_COURSES_KEY).files[0];
    Load();
    for (const std::string& file : {missing, missingCloaked, gone})
        ASSERT_EQ(TheMachine().RemoveFile(file), ERR_SUCCESS);

    EXPECT_EQ(AnalyzeInstallation(),
              "The following problems were found during the analysis:\r\n\r\n"
              "Course error: Alpha: Cannot find the referenced library Lib 1\r\n"
              "Library error: Lib 2: Cannot find the library file '" +
                  missing +
                  "' referenced by course Alpha\r\n"
                  "Course warning: Alpha: The referenced library Lib 3 is actually named lib 3\r\n"
                  "Course warning: Alpha: 1 referenced library is cloaked\r\n"
                  "Library error: Lib 6: Cannot find the library file '" +
                  missingCloaked +
                  "' referenced by course Beta\r\n"
                  "Course warning: Beta: 2 referenced libraries are cloaked\r\n"
                  "Course error: Gamma: Cannot find the course file. (" +
                  gone +
                  ")\r\n"
                  "\r\nAnalysis complete.");
}

TEST_F(InstallationAnalysis, EmptyCatalogueIsCongratulatedInTheDialog) {
    ui.ExpectDialog(DIALOG_ANALYSIS, [](ScriptedDialog& dialog) {
        dialog.Init();
        EXPECT_EQ(dialog.ItemText(ANALYSIS_REPORT_TEXT),
                  "Congratulations, the installation analysis did not find any problems!\r\n\r\n"
                  "Analysis complete.\r\n\r\n"
                  "Installed files compared with the records of their installation:\r\n"
                  "0 entries checked: 0 in order, 0 with missing or changed files, 0 without a "
                  "record.");
        dialog.Press(DIALOG_ESCAPE);  // as Close
        EXPECT_TRUE(dialog.HasEnded());
    });
    ShowAnalysisDialog();
}

TEST_F(InstallationAnalysis, LongNamesAreShortenedInsideTheFinding) {
    AddEntry(GAME_COURSES_KEY, OrderedGuidText(1),
             {{"Name", std::string(255, 'n')},
              {"Filename",
               machine.GameInstallDir() + "\\Courses\\" + std::string(150, 'f') + "\\Lost.tcr"}});
    Load();

    const std::vector<ProblemEntry> problems = CollectProblems();

    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text.size(), MAX_FINDING_LENGTH);
    EXPECT_TRUE(problems[0].text.starts_with("nnn")) << problems[0].text;
    EXPECT_TRUE(problems[0].text.ends_with("fff\\Lost.tcr)")) << problems[0].text;
    EXPECT_NE(problems[0].text.find("n...n"), std::string::npos);
    EXPECT_NE(problems[0].text.find("n: Cannot find the course file. ("), std::string::npos);
}

TEST(AnalysisReport, FindingsBeyondItsSizeAreCountedInALastLine) {
    const std::vector<ProblemEntry> problems(
        200, {PROBLEM_KIND_LIBRARY, PROBLEM_SEVERITY_ERROR, std::string(200, 'x')});

    const std::string report = FormatAnalysisReport(problems);

    EXPECT_LE(report.size(), MAX_ANALYSIS_REPORT_LENGTH);
    const std::string line = "Library error: " + std::string(200, 'x') + "\r\n";
    std::size_t listed = 0;
    for (std::size_t at = report.find(line); at != std::string::npos;
         at = report.find(line, at + line.size())) {
        ++listed;
    }
    EXPECT_GT(listed, 70u);
    EXPECT_TRUE(report.ends_with("\r\n(" + std::to_string(200 - listed) +
                                 " more problems were found but are not listed.)\r\n\r\n"
                                 "Analysis complete."))
        << report.substr(report.size() - 200);
}

}  // namespace
}  // namespace parvane::test
