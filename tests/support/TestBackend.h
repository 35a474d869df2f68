#pragma once

// What a backend supplies to TestMachine: a machine for one test, cleaned up afterwards.

#include <memory>
#include <string>

#include "platform/Machine.h"
#include "support/TestMachine.h"

namespace parvane::test {

class TestBackend {
  public:
    virtual ~TestBackend() = default;
    virtual Machine& GetMachine() = 0;
    // As the TestMachine members of the same names.
    virtual std::string DefaultGameInstallDir() const = 0;
    virtual std::string ScratchFolder() const = 0;
    virtual void SetReadOnly(const std::string& path, bool readOnly) = 0;
    virtual void MakeFolderLink(const std::string& link, const std::string& target) = 0;
    virtual std::unique_ptr<Machine> Reopened() = 0;
};

// Implemented once per backend, in tests/support/<backend>/.
std::unique_ptr<TestBackend> CreateTestBackend(const TestMachineOptions& options);

}  // namespace parvane::test
