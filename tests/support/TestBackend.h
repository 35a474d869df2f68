#pragma once

// What a backend supplies to TestMachine: a machine of its own for one test, with an empty
// registry and file system apart from what the options ask for, removed again afterwards.

#include <memory>
#include <string>

#include "platform/Machine.h"
#include "support/TestMachine.h"

namespace parvane::test {

class TestBackend {
  public:
    virtual ~TestBackend() = default;
    virtual Machine& GetMachine() = 0;
    // Where the game goes when the options name no folder (Windows path).
    virtual std::string DefaultGameInstallDir() const = 0;
    // An empty folder for the test's own files (Windows path, no trailing backslash).
    virtual std::string ScratchFolder() const = 0;
    // Sets or clears the read-only attribute of a file or folder (Windows path).
    virtual void SetReadOnly(const std::string& path, bool readOnly) = 0;
    // Makes `link` a symbolic link to the folder `target` (Windows paths).
    virtual void MakeFolderLink(const std::string& link, const std::string& target) = 0;
    // The machine as the program's next run finds it (see TestMachine::Reopened).
    virtual std::unique_ptr<Machine> Reopened() = 0;
};

// Implemented once per backend, in tests/support/<backend>/.
std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions& options);

}  // namespace parvane::test
