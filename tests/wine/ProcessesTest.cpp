// Image names in the process list, and the launching of documents on a Wine host.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/wine/DocumentLauncher.h"
#include "platform/wine/HostProcesses.h"
#include "support/wine/TestPrefix.h"

namespace parvane::wine {
namespace {

TEST(Processes, ImageNameIsTheLastComponentOfTheFirstArgument) {
    using namespace std::string_literals;
    EXPECT_EQ(ImageNameFromCommandLine("C:\\Program Files\\Quorlix\\GV2006.EXE\0-w\0"s),
              "GV2006.EXE");
    EXPECT_EQ(ImageNameFromCommandLine("/usr/lib/wine/wine64-preloader\0-p0\0"s),
              "wine64-preloader.exe");
    EXPECT_EQ(ImageNameFromCommandLine("Z:/games/Architect.exe\0"s), "Architect.exe");
    EXPECT_EQ(ImageNameFromCommandLine("./build/parvane\0pack.zip\0"s), "parvane.exe");
    EXPECT_EQ(ImageNameFromCommandLine(""), "");
}

// Runs with $PATH holding only a fake xdg-open that writes its argument to a file.
class DocumentLauncher : public ::testing::Test {
  protected:
    DocumentLauncher() {
        test::WriteHostFile(tools / "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" +
                                                    (tools / "opened").string() + "'\n");
        std::filesystem::permissions(tools / "xdg-open", std::filesystem::perms::owner_all);
        test::WriteHostFile(prefix.DriveC() / "Parvane" / "Missing Libraries.htm", "<html>");
    }

    std::string OpenedDocument() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream file(tools / "opened");
            std::string text;
            if (file && std::getline(file, text) && !text.empty()) {
                return text;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    test::TestPrefix prefix;
    const std::filesystem::path tools = prefix.Folder() / "tools";
    test::ScopedVariable path{"PATH", tools.string()};
};

// Windows would start a program named alone (and answer 33); here no Windows program is ever
// started.
TEST_F(DocumentLauncher, OnlyAnExistingDocumentOpensAndOnlyWithXdgOpen) {
    EXPECT_EQ(RunCommand(prefix.Folder(),
                         "C:\\windows\\system32\\winebrowser.exe "
                         "C:\\Parvane\\Missing Libraries.htm"),
              33u);
    EXPECT_EQ(
        OpenedDocument(),
        (prefix.Folder() / "dosdevices" / "c:" / "Parvane" / "Missing Libraries.htm").string());
    std::filesystem::remove(tools / "opened");
    EXPECT_EQ(RunCommand(prefix.Folder(), "C:\\windows\\winebrowser.exe C:\\Parvane\\none.htm"),
              ERR_FILE_NOT_FOUND);
    EXPECT_EQ(RunCommand(prefix.Folder(), "C:\\Parvane\\Missing Libraries.htm"),
              ERR_FILE_NOT_FOUND);
    std::filesystem::remove(tools / "xdg-open");
    EXPECT_EQ(RunCommand(prefix.Folder(), "browser.exe C:\\Parvane\\Missing Libraries.htm"),
              ERR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(tools / "opened"));
}

}  // namespace
}  // namespace parvane::wine
