#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace parvane
