// What extraction and file comparison report when the machine fails under them: every failure
// is named with the system's text or minizip's code, and none is reported as success.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "archive/ExtractArchive.h"
#include "archive/FileCompare.h"
#include "archive/OriginLists.h"
#include "support/ForwardingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

// The faults a machine injects; each is off by default.
struct Faults {
    Win32Error createError = ERR_SUCCESS;
    std::optional<std::pair<std::int64_t, std::int64_t>> failReads = {};  // offsets failing to read
    std::string failReadsOf = {};  // the file whose reads fail; empty: every file
    std::size_t writeLimit = SIZE_MAX;
    Win32Error closeError = ERR_SUCCESS;
    Win32Error removeError = ERR_SUCCESS;
    Win32Error freeSpaceError = ERR_SUCCESS;
};

// A stream that fails as the faults say and otherwise passes every call on.
class FaultyStream : public FileStream {
  public:
    FaultyStream(std::unique_ptr<FileStream> wrapped, const Faults& injected)
        : inner(std::move(wrapped)), faults(injected) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        const std::int64_t position = inner->Tell();
        if (faults.failReads && position < faults.failReads->second &&
            position + static_cast<std::int64_t>(size) > faults.failReads->first) {
            error = ERR_CANTREAD;
            return 0;
        }
        return inner->Read(buffer, size);
    }
    std::size_t Write(const void* data, std::size_t size) override {
        if (faults.writeLimit < size) {
            error = ERR_DISK_FULL;
            return inner->Write(data, faults.writeLimit);
        }
        faults.writeLimit -= size;
        return inner->Write(data, size);
    }
    Win32Error Seek(std::int64_t offset, int origin) override {
        return inner->Seek(offset, origin);
    }
    std::int64_t Tell() override { return inner->Tell(); }
    Win32Error Error() const override { return error != ERR_SUCCESS ? error : inner->Error(); }
    Win32Error Close() override {
        const Win32Error result = inner->Close();
        return faults.closeError != ERR_SUCCESS ? faults.closeError : result;
    }

  private:
    std::unique_ptr<FileStream> inner;
    Faults faults;
    Win32Error error = ERR_SUCCESS;
};

class FaultyMachine : public test::ForwardingMachine {
  public:
    explicit FaultyMachine(const Faults& injected) : faults(injected) {}

    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        if (mode == FileMode::Write && faults.createError != ERR_SUCCESS) {
            error = faults.createError;
            return nullptr;
        }
        std::unique_ptr<FileStream> stream = ForwardingMachine::OpenFile(path, mode, error);
        if (!stream)
            return stream;
        Faults streamFaults;
        if (mode == FileMode::Read) {
            if (faults.failReadsOf.empty() || faults.failReadsOf == path)
                streamFaults.failReads = faults.failReads;
        } else {
            streamFaults.writeLimit = faults.writeLimit;
            streamFaults.closeError = faults.closeError;
        }
        return std::make_unique<FaultyStream>(std::move(stream), streamFaults);
    }
    Win32Error RemoveFile(const std::string& path) override {
        return faults.removeError != ERR_SUCCESS ? faults.removeError
                                                 : ForwardingMachine::RemoveFile(path);
    }
    Win32Error FreeDiskSpace(const std::string& path, std::uint64_t& bytes) override {
        return faults.freeSpaceError != ERR_SUCCESS ? faults.freeSpaceError
                                                    : ForwardingMachine::FreeDiskSpace(path, bytes);
    }

  private:
    Faults faults;
};

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

TEST(ExtractFailures, EveryFailureOfTheMachineIsReported) {
    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string archive = folder + "\\package.zip";
    const std::string target = folder + "\\out";
    const std::string output = target + "\\a.txt";
    const test::ZipBytes inner = test::ZipArchiveBytes({{"c.txt", "C"}});
    ASSERT_TRUE(test::WriteZipFile(archive, {{"dir/a.txt", Incompressible(20000)},
                                             {"b.zip", std::string(inner.begin(), inner.end())}}));
    struct Case {
        Faults faults;
        std::string error;
    };
    const Case cases[] = {
        // First, so that nothing of the others is there yet.
        {{.freeSpaceError = ERR_NOT_SUPPORTED},
         "Couldn't get the free disk space of '" + target + "', error code=50"},
        {{.createError = ERR_ACCESS_DENIED},
         "Couldn't create file '" + output + "': Permission denied"},
        {{.writeLimit = 10000},
         "Couldn't write target file '" + output + "': No space left on device"},
        {{.closeError = ERR_DISK_FULL},
         "Couldn't close file '" + output + "': No space left on device"},
        // The end record and the central directory lie at the end and read fine; the first
        // entry's local header, at the start, does not, or its data after the header does not.
        {{.failReads = {{0, 30}}}, "Couldn't open compressed file 'a.txt', return code=-103"},
        {{.failReads = {{5000, 6000}}}, "Couldn't read compressed file 'a.txt', return code=-1"},
        {{.removeError = ERR_ACCESS_DENIED},
         "Couldn't delete internal archive 'b.zip', return code=5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        ClearOriginLists();
        FaultyMachine faults(c.faults);
        ui.ExpectError(c.error);
        EXPECT_FALSE(ExtractArchive(archive, target, true));
        if (c.faults.freeSpaceError != ERR_SUCCESS) {
            EXPECT_TRUE(test::FileNamesIn(target).empty());
        }
    }
    // The undeletable inner archive, last, was unpacked; the others failed at the first entry.
    EXPECT_TRUE(machine.FileExists(target + "\\c.txt"));
    ClearOriginLists();
}

TEST(CompareFailures, AReadErrorMidwayNeverPassesForTheBytesReadSoFar) {
    test::TestMachine machine;
    const std::string whole = machine.ScratchFolder() + "\\whole.tcl";
    const std::string front = machine.ScratchFolder() + "\\front.tcl";
    const std::string bytes = Incompressible(3 * 16384);
    machine.WriteFile(whole, bytes);
    machine.WriteFile(front, bytes.substr(0, 16384));

    FaultyMachine faults({.failReads = {{16384, 16385}}, .failReadsOf = whole});
    EXPECT_EQ(ComputeFileDigest(whole), "");
    EXPECT_TRUE(FilesDiffer(whole, front));
}

}  // namespace
}  // namespace parvane
