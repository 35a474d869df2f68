// The missing-libraries report as real tools see it: tidy checks it against HTML 4.01 Strict,
// and headless Chromium renders it. Both run on the host, so this program is built natively
// only; the report goes through the prefix's drive Z: into a host folder.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/MissingLibrariesReport.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output only
};

ToolRun RunTool(const std::string& command) {
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

class ReportInTools : public ::testing::Test {
  protected:
    ReportInTools() {
        std::filesystem::create_directories(folder);
        std::string windowsFolder = "Z:" + folder.string();
        std::replace(windowsFolder.begin(), windowsFolder.end(), '/', '\\');
        SetReportFolder(windowsFolder);
        written = WriteMissingLibrariesReport(
            "Tom & Jerry <Links>", {"Trees & Rocks", "<script>document.title='x'</script>"});
    }
    ~ReportInTools() override {
        SetReportFolder({});
        std::filesystem::remove_all(folder);
    }

    TestMachine machine;
    ScriptedUserInterface ui;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("parvane-report-" + std::to_string(getpid()));
    const std::filesystem::path page = folder / "MissingLibraries.htm";
    std::string written;
};

TEST_F(ReportInTools, TidyFindsValidHtml401Strict) {
    ASSERT_FALSE(written.empty());
    const ToolRun tidy = RunTool("tidy -errors " + Quoted(page) + " 2>&1");
    EXPECT_EQ(tidy.status, 0) << tidy.output;
    EXPECT_NE(tidy.output.find("Document content looks like HTML 4.01 Strict"), std::string::npos)
        << tidy.output;
}

TEST_F(ReportInTools, ChromiumShowsTheCourseAndEachLibraryAsText) {
    if (RunTool("command -v chromium").status != 0) {
        GTEST_SKIP() << "chromium is not installed (scripts/test installs it)";
    }
    ASSERT_FALSE(written.empty());
    const std::string chromium =
        "chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
        "--no-first-run --user-data-dir=" +
        Quoted(folder / "profile") + " ";
    const std::string url = Quoted("file://" + page.string());

    const ToolRun dom = RunTool(chromium + "--dump-dom " + url + " 2>/dev/null");

    ASSERT_EQ(dom.status, 0);
    EXPECT_NE(dom.output.find("the course \"Tom &amp; Jerry &lt;Links&gt;\","), std::string::npos)
        << dom.output;
    EXPECT_NE(dom.output.find("<li>Trees &amp; Rocks</li>"), std::string::npos);
    EXPECT_NE(dom.output.find("<li>&lt;script&gt;document.title='x'&lt;/script&gt;</li>"),
              std::string::npos);
    EXPECT_EQ(dom.output.find("<script>"), std::string::npos);

    // Kept beside the test program for a person to look at.
    const std::filesystem::path shot = std::filesystem::current_path() / "MissingLibraries.png";
    std::filesystem::remove(shot);
    EXPECT_EQ(RunTool(chromium + "--window-size=800,400 --screenshot=" + Quoted(shot) + " " + url +
                      " >/dev/null 2>&1")
                  .status,
              0);
    EXPECT_GT(std::filesystem::exists(shot) ? std::filesystem::file_size(shot) : 0u, 0u);
}

}  // namespace
}  // namespace parvane::test
