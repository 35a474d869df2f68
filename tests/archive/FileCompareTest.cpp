#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/FileCompare.h"
#include "base/DigestText.h"
#include "base/Sha1.h"
#include "support/ContentFiles.h"
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
    EXPECT_EQ(ComputeFileDigest(Write("big.tcl", bytes)), DigestOf(bytes));
    EXPECT_EQ(ComputeFileDigest(Write("empty.tcl", {})),
              "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST_F(FileCompareTest, FilesDifferByContentAndAMissingFileDiffersFromAnExistingOne) {
    std::vector<std::uint8_t> bytes = Pattern(20000);
    const std::string first = Write("a.tcr", bytes);
    EXPECT_FALSE(FilesDiffer(first, Write("same.tcr", bytes)));
    EXPECT_FALSE(FilesDiffer(Write("empty1.tcr", {}), Write("empty2.tcr", {})));
    bytes[17000] ^= 1;
    EXPECT_TRUE(FilesDiffer(first, Write("b.tcr", bytes)));

    const std::string missing = scratch + "\\missing.tcr";
    EXPECT_EQ(ComputeFileDigest(missing), "");
    EXPECT_TRUE(FilesDiffer(first, missing));
    EXPECT_TRUE(FilesDiffer(missing, first));
    EXPECT_FALSE(FilesDiffer(missing, scratch + "\\missing2.tcr"));
}

}  // namespace
}  // namespace parvane
