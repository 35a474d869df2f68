#pragma once

// A fresh test machine with the game, a documents folder, an empty catalogue and settings under
// which nothing is asked; and builders of packages.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/Guid.h"
#include "installer/InstallResult.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane::test {

// Names the cases of a table after the `name` field of their rows.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

struct Reference {
    std::uint32_t guid;
    std::string name;
};

// The bytes of a course or library file; `padding` makes files of equal headers differ.
std::string CourseData(const std::string& name, std::uint32_t guid,
                       const std::vector<Reference>& references = {}, std::size_t padding = 0);
std::string LibraryData(const std::string& name, const GUID& guid, std::size_t padding = 0);
std::string LibraryData(const std::string& name, std::uint32_t guid, std::size_t padding = 0);

// Forgets what the process keeps from one installation to the next, as a new run would.
void ForgetInstallation();

// The settings under which an installation asks nothing, with `targetFolder` as TargetFolder.
void SetQuietInstallProperties(const std::string& targetFolder);

// Public, so that the rows of a test table can prepare the machine.
class InstallTest : public ::testing::Test {
  public:
    InstallTest();
    ~InstallTest() override;

    std::string GameDir() const { return machine.GameInstallDir(); }
    std::string Scratch() const { return machine.ScratchFolder(); }
    std::string Documents() const { return Scratch() + "\\Documents"; }
    std::string CourseFolder(const std::string& name) const {
        return GameDir() + "\\courses\\" + name;
    }
    std::string LibraryFolder(const std::string& name) const {
        return GameDir() + "\\libraries\\" + name;
    }

    std::string Package(const std::vector<ZipFileEntry>& entries,
                        const std::string& name = "package.zip");
    bool Install(const std::string& archivePath);

    void AddInstalledLibrary(const std::string& name, const std::string& data);
    void AddCloakedLibrary(std::uint32_t guid, const std::string& name);

    // "(none)" without the entry.
    std::string RegistryValue(const char* store, std::uint32_t guid, const char* name = "Name");

    TestMachine machine;
    ScriptedUserInterface ui;
    InstallResult result;
};

}  // namespace parvane::test
