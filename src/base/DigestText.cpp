#include "base/DigestText.h"

namespace parvane {

std::string Sha1DigestText(const Sha1Digest& digest) {
    static constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text += HEX_DIGITS[byte >> 4];
        text += HEX_DIGITS[byte & 0x0F];
    }
    return text;
}

}  // namespace parvane
