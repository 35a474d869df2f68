// The missing-libraries report as real tools see it: tidy checks it against HTML 4.01 Strict,
// and headless Chromium renders it. Both run on the host, so this program is built natively
// only; the report goes through the prefix's drive Z: into a host folder.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "analysis/MissingLibrariesReport.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"

namespace parvane::test {
namespace {

// The exit status and standard output of a shell command.
std::pair<int, std::string> RunTool(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return {-1, output};
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, read);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

TEST(ReportInTools, TidyAndChromiumShowTheNamesAsText) {
    TestMachine machine;
    ScriptedUserInterface ui;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("parvane-report-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string windowsFolder = "Z:" + folder.string();
    std::replace(windowsFolder.begin(), windowsFolder.end(), '/', '\\');
    SetReportFolder(windowsFolder);
    const std::string written = WriteMissingLibrariesReport(
        "Tom & Jerry <Links>", {"Trees & Rocks", "<script>document.title='x'</script>"});
    SetReportFolder({});
    ASSERT_FALSE(written.empty());
    const std::filesystem::path page = folder / "MissingLibraries.htm";

    const auto [tidyStatus, tidy] = RunTool("tidy -errors " + Quoted(page) + " 2>&1");
    EXPECT_EQ(tidyStatus, 0) << tidy;
    EXPECT_NE(tidy.find("Document content looks like HTML 4.01 Strict"), std::string::npos) << tidy;

    if (RunTool("command -v chromium").first != 0) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "chromium is not installed (scripts/test installs it)";
    }
    const std::string chromium =
        "chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
        "--no-first-run --user-data-dir=" +
        Quoted(folder / "profile") + " ";
    const std::string url = Quoted("file://" + page.string());
    const auto [status, dom] = RunTool(chromium + "--dump-dom " + url + " 2>/dev/null");
    EXPECT_EQ(status, 0);
    for (const char* shown :
         {"the course \"Tom &amp; Jerry &lt;Links&gt;\",", "<li>Trees &amp; Rocks</li>",
          "<li>&lt;script&gt;document.title='x'&lt;/script&gt;</li>"}) {
        EXPECT_NE(dom.find(shown), std::string::npos) << shown << " in\n" << dom;
    }
    EXPECT_EQ(dom.find("<script>"), std::string::npos);

    // Kept beside the test program for a person to look at.
    const std::filesystem::path shot = std::filesystem::current_path() / "MissingLibraries.png";
    std::filesystem::remove(shot);
    RunTool(chromium + "--window-size=800,400 --screenshot=" + Quoted(shot) + " " + url +
            " >/dev/null 2>&1");
    EXPECT_TRUE(std::filesystem::exists(shot) && std::filesystem::file_size(shot) > 0);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace parvane::test
