// What extraction and file comparison report when the machine fails under them: every failure
// is named with the system's text or minizip's code, and none is reported as success.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "archive/ExtractArchive.h"
#include "archive/FileCompare.h"
#include "archive/OriginLists.h"
#include "archive/ZipReader.h"
#include "support/FaultInjectingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

using test::Fault;
using test::MachineCall;

// Data that deflate cannot shrink, so that it fills the archive from its start.
std::string Incompressible(std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : data) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return data;
}

class ExtractFailures : public ::testing::Test {
  protected:
    ExtractFailures() {
        const test::ZipBytes inner = test::ZipArchiveBytes({{"c.txt", "C"}});
        EXPECT_TRUE(
            test::WriteZipFile(archive, {{"dir/a.txt", Incompressible(ZIP_DATA_BLOCK_SIZE + 20000)},
                                         {"b.zip", std::string(inner.begin(), inner.end())}}));
    }
    ~ExtractFailures() override { ClearOriginLists(); }

    // The number of reads of the archive, in a run without faults, before the first `call` on
    // the output file: the read after them opens the entry's data (after its creation) or
    // continues it (after its first write).
    std::uint64_t ArchiveReadsBefore(MachineCall call) {
        std::vector<test::CallRecord> calls;
        {
            test::FaultInjectingMachine probe;
            EXPECT_TRUE(ExtractArchive(archive, folder + "\\probe", true));
            calls = probe.Calls();
        }
        ClearOriginLists();
        const auto end = std::find_if(calls.begin(), calls.end(), [&](const auto& record) {
            return record.call == call && record.path.ends_with("\\a.txt");
        });
        return static_cast<std::uint64_t>(
            std::count_if(calls.begin(), end, [&](const auto& record) {
                return record.call == MachineCall::StreamRead && record.path == archive;
            }));
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string archive = folder + "\\package.zip";
    const std::string target = folder + "\\out";
    const std::string output = target + "\\a.txt";
};

TEST_F(ExtractFailures, EveryFailureOfTheMachineIsReported) {
    const std::uint64_t headerRead = ArchiveReadsBefore(MachineCall::OpenFile) + 1;
    const std::uint64_t dataRead = ArchiveReadsBefore(MachineCall::StreamWrite) + 1;
    const struct {
        Fault fault;
        std::string error;
    } cases[] = {
        // First, so that nothing of the others is there yet.
        {{.call = MachineCall::FreeDiskSpace, .error = ERR_NOT_SUPPORTED},
         "Couldn't get the free disk space of '" + target + "', error code=50"},
        {{.call = MachineCall::OpenFile, .pathPart = output, .error = ERR_ACCESS_DENIED},
         "Couldn't create file '" + output + "': Permission denied"},
        {{.call = MachineCall::StreamWrite, .pathPart = output, .error = ERR_DISK_FULL},
         "Couldn't write target file '" + output + "': No space left on device"},
        {{.call = MachineCall::StreamClose, .pathPart = output, .error = ERR_DISK_FULL},
         "Couldn't close file '" + output + "': No space left on device"},
        {{.call = MachineCall::StreamRead, .first = headerRead, .pathPart = "package.zip"},
         "Couldn't open compressed file 'a.txt', return code=-103"},
        {{.call = MachineCall::StreamRead, .first = dataRead, .pathPart = "package.zip"},
         "Couldn't read compressed file 'a.txt', return code=-1"},
        {{.call = MachineCall::RemoveFile, .pathPart = "b.zip", .error = ERR_ACCESS_DENIED},
         "Couldn't delete internal archive 'b.zip', return code=5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        ClearOriginLists();
        test::FaultInjectingMachine faults;
        faults.Inject(c.fault);
        ui.ExpectError(c.error);
        EXPECT_FALSE(ExtractArchive(archive, target, true));
        if (c.fault.call == MachineCall::FreeDiskSpace) {
            EXPECT_TRUE(test::FileNamesIn(target).empty());
        }
    }
    // The undeletable inner archive, last, was unpacked; the others failed at the first entry.
    EXPECT_TRUE(machine.FileExists(target + "\\c.txt"));
}

TEST(CompareFailures, AReadErrorMidwayNeverPassesForTheBytesReadSoFar) {
    test::TestMachine machine;
    const std::string whole = machine.ScratchFolder() + "\\whole.tcl";
    const std::string front = machine.ScratchFolder() + "\\front.tcl";
    const std::string bytes = Incompressible(3 * 16384);
    machine.WriteFile(whole, bytes);
    machine.WriteFile(front, bytes.substr(0, 16384));

    const Fault secondRead = {.call = MachineCall::StreamRead, .first = 2, .pathPart = "whole"};
    test::FaultInjectingMachine faults;
    faults.Inject(secondRead);
    EXPECT_EQ(ComputeFileDigest(whole), "");
    faults.ClearFaults();
    faults.Inject(secondRead);
    EXPECT_TRUE(FilesDiffer(whole, front));
}

}  // namespace
}  // namespace parvane
