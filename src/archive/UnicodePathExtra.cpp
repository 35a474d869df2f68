#include "archive/UnicodePathExtra.h"

#include <zlib.h>

namespace parvane {

namespace {

std::uint32_t ReadLittle(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

std::uint32_t Crc32(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

constexpr std::size_t FIELD_HEADER_SIZE = 4;       // ID and data size, 2 bytes each
constexpr std::size_t UNICODE_PATH_HEAD_SIZE = 5;  // version byte and CRC-32
constexpr unsigned char UNICODE_PATH_VERSION = 1;

std::optional<std::string> NameOfField(std::string_view data, std::string_view storedName) {
    if (data.size() < UNICODE_PATH_HEAD_SIZE ||
        static_cast<unsigned char>(data[0]) != UNICODE_PATH_VERSION ||
        ReadLittle(data, 1, 4) != Crc32(storedName)) {
        return std::nullopt;
    }
    return std::string(data.substr(UNICODE_PATH_HEAD_SIZE));
}

}  // namespace

std::optional<std::string> UnicodePathName(std::string_view extraFields,
                                           std::string_view storedName) {
    std::size_t at = 0;
    while (extraFields.size() - at >= FIELD_HEADER_SIZE) {
        const std::uint32_t id = ReadLittle(extraFields, at, 2);
        const std::size_t size = ReadLittle(extraFields, at + 2, 2);
        const std::size_t dataStart = at + FIELD_HEADER_SIZE;
        if (extraFields.size() - dataStart < size) {
            return std::nullopt;
        }
        if (id == ZIP_EXTRA_UNICODE_PATH) {
            return NameOfField(extraFields.substr(dataStart, size), storedName);
        }
        at = dataStart + size;
    }
    return std::nullopt;
}

}  // namespace parvane
