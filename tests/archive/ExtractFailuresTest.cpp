// What extraction reports when the machine fails under it: every failure is named with the
// system's text or minizip's code, and none is reported as success.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "archive/ExtractArchive.h"
#include "archive/OriginLists.h"
#include "support/ForwardingMachine.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestMachine.h"
#include "support/ZipFiles.h"

namespace parvane {
namespace {

// A stream that fails as the test says and otherwise passes every call on.
class FaultyStream : public FileStream {
  public:
    explicit FaultyStream(std::unique_ptr<FileStream> wrapped) : inner(std::move(wrapped)) {}

    std::size_t Read(void* buffer, std::size_t size) override {
        const std::int64_t position = inner->Tell();
        if (failReads && position < failReads->second &&
            position + static_cast<std::int64_t>(size) > failReads->first) {
            error = ERR_CANTREAD;
            return 0;
        }
        return inner->Read(buffer, size);
    }
    std::size_t Write(const void* data, std::size_t size) override {
        if (writeLimit < size) {
            error = ERR_DISK_FULL;
            return inner->Write(data, writeLimit);
        }
        writeLimit -= size;
        return inner->Write(data, size);
    }
    Win32Error Seek(std::int64_t offset, int origin) override {
        return inner->Seek(offset, origin);
    }
    std::int64_t Tell() override { return inner->Tell(); }
    Win32Error Error() const override { return error != ERR_SUCCESS ? error : inner->Error(); }
    Win32Error Close() override {
        const Win32Error result = inner->Close();
        return closeError != ERR_SUCCESS ? closeError : result;
    }

    // Reads that touch this range of offsets fail.
    std::optional<std::pair<std::int64_t, std::int64_t>> failReads;
    std::size_t writeLimit = SIZE_MAX;
    Win32Error closeError = ERR_SUCCESS;

  private:
    std::unique_ptr<FileStream> inner;
    Win32Error error = ERR_SUCCESS;
};

class FaultyMachine : public test::ForwardingMachine {
  public:
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        if (mode == FileMode::Write && createError != ERR_SUCCESS) {
            error = createError;
            return nullptr;
        }
        std::unique_ptr<FileStream> stream = ForwardingMachine::OpenFile(path, mode, error);
        if (!stream)
            return stream;
        auto faulty = std::make_unique<FaultyStream>(std::move(stream));
        if (mode == FileMode::Read) {
            faulty->failReads = failReads;
        } else {
            faulty->writeLimit = writeLimit;
            faulty->closeError = closeError;
        }
        return faulty;
    }
    Win32Error RemoveFile(const std::string& path) override {
        return removeError != ERR_SUCCESS ? removeError : ForwardingMachine::RemoveFile(path);
    }

    Win32Error createError = ERR_SUCCESS;
    // Reads that touch this range of offsets fail.
    std::optional<std::pair<std::int64_t, std::int64_t>> failReads;
    std::size_t writeLimit = SIZE_MAX;
    Win32Error closeError = ERR_SUCCESS;
    Win32Error removeError = ERR_SUCCESS;
};

class ExtractFailuresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearOriginLists();
        ASSERT_TRUE(test::WriteZipFile(
            archive, {{"dir/a.txt", Incompressible(20000)}, {"b.zip", InnerZip()}}));
    }
    void TearDown() override { ClearOriginLists(); }
    // Data that deflate cannot shrink, so that it fills the archive from its start.
    static std::string Incompressible(std::size_t size) {
        std::string data(size, '\0');
        std::uint32_t state = 12345;
        for (char& c : data) {
            state = state * 1103515245u + 12345u;
            c = static_cast<char>(state >> 24);
        }
        return data;
    }
    static std::string InnerZip() {
        const test::ZipBytes bytes = test::ZipArchiveBytes({{"c.txt", "C"}});
        return std::string(bytes.begin(), bytes.end());
    }

    test::TestMachine machine;
    ScriptedUserInterface ui;
    const std::string folder = machine.ScratchFolder();
    const std::string archive = folder + "\\package.zip";
    const std::string target = folder + "\\out";
    const std::string output = target + "\\a.txt";
};

TEST_F(ExtractFailuresTest, OutputFileThatCannotBeCreated) {
    FaultyMachine faults;
    faults.createError = ERR_ACCESS_DENIED;
    ui.ExpectError("Couldn't create file '" + output + "': Permission denied");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
}

TEST_F(ExtractFailuresTest, OutputFileWriteThatFallsShort) {
    FaultyMachine faults;
    faults.writeLimit = 10000;
    ui.ExpectError("Couldn't write target file '" + output + "': No space left on device");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
}

TEST_F(ExtractFailuresTest, OutputFileThatCannotBeClosed) {
    FaultyMachine faults;
    faults.closeError = ERR_DISK_FULL;
    ui.ExpectError("Couldn't close file '" + output + "': No space left on device");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
}

TEST_F(ExtractFailuresTest, ArchiveThatCannotBeReadWhereTheDataLies) {
    FaultyMachine faults;
    // The end record and the central directory lie at the end and read fine; the first
    // entry's local header, at the start, does not.
    faults.failReads = {{0, 30}};
    ui.ExpectError("Couldn't open compressed file 'a.txt', return code=-103");
    EXPECT_FALSE(ExtractArchive(archive, target, true));

    // Its data, after the header, does not.
    faults.failReads = {{5000, 6000}};
    ui.ExpectError("Couldn't read compressed file 'a.txt', return code=-1");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
}

TEST_F(ExtractFailuresTest, InnerArchiveThatCannotBeDeleted) {
    FaultyMachine faults;
    faults.removeError = ERR_ACCESS_DENIED;
    ui.ExpectError("Couldn't delete internal archive 'b.zip', return code=5");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
    EXPECT_TRUE(machine.FileExists(target + "\\c.txt"));
}

TEST_F(ExtractFailuresTest, FreeSpaceThatCannotBeRead) {
    struct NoFreeSpace : test::ForwardingMachine {
        Win32Error FreeDiskSpace(const std::string&, std::uint64_t&) override {
            return ERR_NOT_SUPPORTED;
        }
    } faults;
    ui.ExpectError("Couldn't get the free disk space of '" + target + "', error code=50");
    EXPECT_FALSE(ExtractArchive(archive, target, true));
    EXPECT_TRUE(test::FileNamesIn(target).empty());
}

}  // namespace
}  // namespace parvane
