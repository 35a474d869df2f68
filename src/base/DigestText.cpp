#include "base/DigestText.h"

#include "platform/HexDigits.h"

namespace parvane {

std::string Sha1DigestText(const Sha1Digest& digest) {
    std::string text;
    text.reserve(2 * digest.size());
    for (std::uint8_t byte : digest) {
        text += UPPER_HEX_DIGITS[byte >> 4];
        text += UPPER_HEX_DIGITS[byte & 0x0F];
    }
    return text;
}

}  // namespace parvane
