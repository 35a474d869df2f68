#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "base/DigestText.h"
#include "base/Sha1.h"

namespace parvane {
namespace {

std::string DigestOf(std::string_view message) {
    Sha1 sha1;
    sha1.Add(message.data(), message.size());
    return Sha1DigestText(sha1.Finish());
}

// The examples of FIPS 180, in upper-case hex in byte order.
TEST(Sha1, PublishedExamples) {
    EXPECT_EQ(DigestOf("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(DigestOf(""), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
}

TEST(Sha1, MillionLettersFedInUnevenPieces) {
    const std::string chunk(16384, 'a');
    Sha1 sha1;
    std::size_t left = 1000000;
    for (std::size_t piece = 1; left > 0; piece = piece * 7 % 16384 + 1) {
        const std::size_t size = std::min(piece, left);
        sha1.Add(chunk.data(), size);
        left -= size;
    }
    EXPECT_EQ(Sha1DigestText(sha1.Finish()), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

}  // namespace
}  // namespace parvane
