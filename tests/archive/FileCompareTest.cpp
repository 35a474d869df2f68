#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/DigestText.h"
#include "archive/FileCompare.h"
#include "platform/Machine.h"
#include "platform/Sha1.h"
#include "support/ContentFiles.h"
#include "support/ForwardingMachine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

std::string DigestOf(const std::vector<std::uint8_t>& bytes) {
    Sha1 sha1;
    sha1.Add(bytes.data(), bytes.size());
    return Sha1DigestText(sha1.Finish());
}

class FileCompareTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = scratch + "\\" + name;
        EXPECT_TRUE(test::WriteFileBytes(path, bytes));
        return path;
    }

    test::TestMachine machine;
    const std::string scratch = machine.ScratchFolder();
};

TEST_F(FileCompareTest, DigestCoversEveryBlockOfTheFile) {
    // Two whole blocks and a part of a third.
    const std::vector<std::uint8_t> bytes = Pattern(2 * 16384 + 1000);
    const std::string digest = ComputeFileDigest(Write("big.tcl", bytes));
    EXPECT_EQ(digest, DigestOf(bytes));
    EXPECT_EQ(digest.size(), 40u);
    EXPECT_EQ(digest.find_first_not_of("0123456789ABCDEF"), std::string::npos) << digest;
}

TEST_F(FileCompareTest, DigestOfAnEmptyFileIsTheDigestOfNoData) {
    EXPECT_EQ(ComputeFileDigest(Write("empty.tcl", {})),
              "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST_F(FileCompareTest, FilesWithTheSameContentDoNotDiffer) {
    const std::vector<std::uint8_t> bytes = Pattern(5000);
    EXPECT_FALSE(FilesDiffer(Write("a.tcr", bytes), Write("b.tcr", bytes)));
    EXPECT_FALSE(FilesDiffer(Write("empty1.tcr", {}), Write("empty2.tcr", {})));
}

TEST_F(FileCompareTest, FilesOfEqualLengthDifferingInOneByteDiffer) {
    std::vector<std::uint8_t> bytes = Pattern(20000);
    const std::string first = Write("a.tcr", bytes);
    bytes[17000] ^= 1;
    EXPECT_TRUE(FilesDiffer(first, Write("b.tcr", bytes)));
}

TEST_F(FileCompareTest, AMissingFileDiffersFromAnExistingOne) {
    const std::string existing = Write("a.tcr", Pattern(100));
    const std::string missing = scratch + "\\missing.tcr";
    EXPECT_EQ(ComputeFileDigest(missing), "");
    EXPECT_TRUE(FilesDiffer(existing, missing));
    EXPECT_TRUE(FilesDiffer(missing, existing));
    EXPECT_FALSE(FilesDiffer(missing, scratch + "\\missing2.tcr"));
}

// A stream whose reads fail once `limit` bytes have been read.
class FailingStream : public FileStream {
  public:
    FailingStream(std::unique_ptr<FileStream> wrapped, std::size_t limit)
        : inner(std::move(wrapped)), remaining(limit) {}
    std::size_t Read(void* buffer, std::size_t size) override {
        const std::size_t bytesRead = inner->Read(buffer, std::min(size, remaining));
        remaining -= bytesRead;
        if (bytesRead < size) {
            error = ERR_CANTREAD;
        }
        return bytesRead;
    }
    std::size_t Write(const void* data, std::size_t size) override {
        return inner->Write(data, size);
    }
    Win32Error Seek(std::int64_t offset, int origin) override {
        return inner->Seek(offset, origin);
    }
    std::int64_t Tell() override { return inner->Tell(); }
    Win32Error Error() const override { return error; }
    Win32Error Close() override { return inner->Close(); }

  private:
    std::unique_ptr<FileStream> inner;
    std::size_t remaining;
    Win32Error error = ERR_SUCCESS;
};

class FailingReadMachine : public test::ForwardingMachine {
  public:
    std::string failingPath;
    std::size_t limit = 0;
    std::unique_ptr<FileStream> OpenFile(const std::string& path, FileMode mode,
                                         Win32Error& error) override {
        auto stream = ForwardingMachine::OpenFile(path, mode, error);
        if (path != failingPath || stream == nullptr) {
            return stream;
        }
        return std::make_unique<FailingStream>(std::move(stream), limit);
    }
};

TEST_F(FileCompareTest, AReadErrorMidwayNeverPassesForTheBytesReadSoFar) {
    const std::vector<std::uint8_t> bytes = Pattern(3 * 16384);
    const std::string whole = Write("whole.tcl", bytes);
    const std::string front =
        Write("front.tcl", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16384));

    FailingReadMachine failing;
    failing.failingPath = whole;
    failing.limit = 16384;
    EXPECT_EQ(ComputeFileDigest(whole), "");
    EXPECT_TRUE(FilesDiffer(whole, front));
}

}  // namespace
}  // namespace parvane
