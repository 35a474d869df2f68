#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/OverlappedSha1.h"

namespace parvane {
namespace {

Sha1Digest DirectSha1(const std::string& data) {
    Sha1 sha1;
    sha1.Add(data.data(), data.size());
    return sha1.Finish();
}

// Feeds `data` through the buffers as a file copy would, a block at a time.
Sha1Digest OverlappedDigest(OverlappedSha1& digest, const std::string& data) {
    for (std::size_t at = 0; at < data.size();) {
        const std::span<char> block = digest.Buffer();
        const std::size_t size = std::min(block.size(), data.size() - at);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), size, block.begin());
        digest.Add(size);
        at += size;
    }
    return digest.Finish();
}

// Full blocks go to the worker, the last one is hashed at once; each file starts afresh.
TEST(OverlappedSha1, EqualsTheDigestOfTheWholeDataFileAfterFile) {
    OverlappedSha1 digest(7);
    for (const std::string& data : {std::string("twenty-eight bytes of a fil"), std::string("e"),
                                    std::string(), std::string(7 * 40, 'x') + "fairway"}) {
        EXPECT_EQ(OverlappedDigest(digest, data), DirectSha1(data)) << data;
    }
}

// Held bytes are queued without waiting; bytes too few to hand over, and blocks of the
// buffer, wait for the queue, so the digest takes everything in order.
TEST(OverlappedSha1, TakesHeldBytesQueuedBehindEachOtherInOrder) {
    std::string data;
    for (std::uint32_t i = 0; data.size() < 400'000; ++i) {
        data += std::to_string(i * 2654435761u);
    }
    OverlappedSha1 digest(100);
    const std::string_view held(data);
    digest.AddHeld(held.substr(0, 150'000));
    digest.AddHeld(held.substr(150'000, 10));
    digest.AddHeld(held.substr(150'010, 200'000));
    const std::string rest = data.substr(350'010);
    EXPECT_EQ(OverlappedDigest(digest, rest), DirectSha1(data));
}

}  // namespace
}  // namespace parvane
