#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/FileCompare.h"
#include "base/DigestText.h"
#include "base/Sha1.h"
#include "support/ContentFiles.h"
#include "support/FaultInjectingMachine.h"
#include "support/TestMachine.h"

namespace parvane {
namespace {

TEST(FileCompare, DigestsCoverEveryBlockAndOnlyEqualOrBothMissingFilesAreAlike) {
    test::TestMachine machine;
    const std::string scratch = machine.ScratchFolder();
    const auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        EXPECT_TRUE(test::WriteFileBytes(scratch + "\\" + name, bytes));
        return scratch + "\\" + name;
    };
    // Two whole blocks and a part of a third.
    std::vector<std::uint8_t> bytes(2 * 16384 + 1000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    Sha1 sha1;
    sha1.Add(bytes.data(), bytes.size());
    const std::string first = write("a.tcr", bytes);
    EXPECT_EQ(ComputeFileDigest(first), Sha1DigestText(sha1.Finish()));
    EXPECT_EQ(ComputeFileDigest(write("empty.tcl", {})),
              "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    // FIPS 180's example whose padding takes a second block.
    const std::string fips = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(ComputeFileDigest(write("fips.txt", {fips.begin(), fips.end()})),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");

    EXPECT_FALSE(FilesDiffer(first, write("same.tcr", bytes)));
    bytes[17000] ^= 1;
    EXPECT_TRUE(FilesDiffer(first, write("b.tcr", bytes)));
    const std::string missing = scratch + "\\missing.tcr";
    EXPECT_EQ(ComputeFileDigest(missing), "");
    EXPECT_TRUE(FilesDiffer(first, missing));
    EXPECT_TRUE(FilesDiffer(missing, first));
    EXPECT_FALSE(FilesDiffer(missing, scratch + "\\missing2.tcr"));

    // A read error midway never passes for the bytes read so far.
    const test::Fault secondRead = {
        .call = test::MachineCall::StreamRead, .first = 2, .pathPart = "a.tcr"};
    test::FaultInjectingMachine faults;
    faults.Inject(secondRead);
    EXPECT_EQ(ComputeFileDigest(first), "");
    faults.ClearFaults();
    faults.Inject(secondRead);
    EXPECT_TRUE(FilesDiffer(first, scratch + "\\same.tcr"));
}

}  // namespace
}  // namespace parvane
