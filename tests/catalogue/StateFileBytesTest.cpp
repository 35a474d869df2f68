#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StoreFixture.h"
#include "catalogue/StateFileBytes.h"

namespace parvane::test {
namespace {

class StateFileBlocks : public StoreTest {};

// A file read a block at a time gives every item whole, the items across two blocks too, and
// fails at an item that the part read cuts short.
TEST_F(StateFileBlocks, GiveEveryItemWholeAndFailWhereThePartEndsInOne) {
    std::vector<std::string> texts;
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * 262'144; ++i) {
        texts.push_back(std::string(static_cast<std::size_t>(i * 37 % 700 + 1),
                                    static_cast<char>('a' + i % 26)));
        PutText(bytes, texts.back());
    }
    const std::string path = machine.ScratchFolder() + "\\Items.bin";
    ASSERT_TRUE(ReplaceStateFile(path, {bytes}));
    Win32Error error = ERR_SUCCESS;
    const std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Read, error);
    ASSERT_NE(file, nullptr);

    for (const std::uint64_t end : {std::uint64_t{bytes.size()}, std::uint64_t{bytes.size() - 1}}) {
        BlockReader blocks(*file, 0, end);
        std::vector<std::string> read;
        std::string_view item;
        while (blocks.Item([&](ByteReader& reader) { item = reader.Text(); })) {
            read.emplace_back(item);
        }
        const bool whole = end == bytes.size();
        EXPECT_EQ(blocks.AtEnd(), whole);
        texts.resize(texts.size() - (whole ? 0 : 1));
        EXPECT_EQ(read, texts);
    }
}

}  // namespace
}  // namespace parvane::test
