#include "catalogue/HeaderDecoding.h"

#include <algorithm>

namespace parvane {

namespace {

constexpr std::size_t OWN_GUID_OFFSET = 2;
constexpr std::size_t DISPLAY_NAME_OFFSET = 22;
constexpr std::size_t GUID_LIST_OFFSET = 268;
constexpr std::size_t NAME_LIST_OFFSET = 804;

// The text from `offset` up to its NUL, or up to the end of the block when none follows.
std::string_view TextAt(std::span<const std::uint8_t> block, std::size_t offset) {
    if (offset >= block.size()) {
        return {};
    }
    const auto rest = block.subspan(offset);
    const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(rest.data()),
            static_cast<std::size_t>(end - rest.begin())};
}

// A record whose first 32-bit word is 0 ends the list; all four bytes zero is that word.
bool EndsGuidList(std::span<const std::uint8_t> record) {
    return std::all_of(record.begin(), record.begin() + 4, [](std::uint8_t b) { return b == 0; });
}

}  // namespace

bool DecodeNameAndGuid(std::span<const std::uint8_t> block, NameAndGuid& result) {
    if (block.size() < NAME_BLOCK_SIZE) {
        return false;
    }
    const auto nameBlock = block.first(NAME_BLOCK_SIZE);
    result.guid = GuidFromBytes(nameBlock.data() + OWN_GUID_OFFSET);
    result.name = std::string(TextAt(nameBlock, DISPLAY_NAME_OFFSET));
    return true;
}

bool DecodeReferencedLibraryGuids(std::span<const std::uint8_t> header, ReferencedGuids& result) {
    if (header.size() < COURSE_HEADER_SIZE) {
        return false;
    }
    result = ReferencedGuids{};
    for (std::size_t offset = GUID_LIST_OFFSET; offset + GUID_BINARY_SIZE <= COURSE_HEADER_SIZE;
         offset += GUID_BINARY_SIZE) {
        const auto record = header.subspan(offset, GUID_BINARY_SIZE);
        if (EndsGuidList(record)) {
            break;
        }
        if (result.count == MAX_REFERENCED_LIBRARIES) {
            return false;
        }
        result.guids[result.count++] = GuidFromBytes(record.data());
    }
    return true;
}

bool DecodeReferencedLibraryNames(std::span<const std::uint8_t> header, ReferencedNames& result) {
    if (header.size() < COURSE_HEADER_SIZE) {
        return false;
    }
    const auto block = header.first(COURSE_HEADER_SIZE);
    result = ReferencedNames{};
    for (std::size_t offset = NAME_LIST_OFFSET;;) {
        const std::string_view name = TextAt(block, offset);
        if (name.empty()) {
            return true;
        }
        if (result.count == MAX_REFERENCED_LIBRARIES || name.size() > MAX_NAME_LENGTH) {
            return false;
        }
        result.names[result.count++] = std::string(name);
        offset += name.size() + 1;
    }
}

}  // namespace parvane
