#include "catalogue/HeaderReaders.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Machine.h"

namespace parvane {

namespace {

// The first SIZE bytes of the file, in one read; nothing when the path is empty, the file
// cannot be opened or is shorter than that.
template <std::size_t SIZE>
std::optional<std::array<std::uint8_t, SIZE>> ReadBlock(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Read, error);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::array<std::uint8_t, SIZE> block;
    const std::size_t bytesRead = file->Read(block.data(), block.size());
    file->Close();
    if (bytesRead != SIZE) {
        return std::nullopt;
    }
    return block;
}

// The first 3000 bytes of a course file.
std::optional<std::array<std::uint8_t, COURSE_HEADER_SIZE>> ReadCourseHeader(
    const std::string& path) {
    return ReadBlock<COURSE_HEADER_SIZE>(path);
}

}  // namespace

bool GetHeaderNameAndGuid(const std::string& path, NameAndGuid& result) {
    const auto block = ReadBlock<NAME_BLOCK_SIZE>(path);
    return block.has_value() && DecodeNameAndGuid(*block, result);
}

bool GetReferencedLibraryGuids(const std::string& path, ReferencedGuids& result) {
    const auto header = ReadCourseHeader(path);
    return header.has_value() && DecodeReferencedLibraryGuids(*header, result);
}

bool GetReferencedLibraryNames(const std::string& path, ReferencedNames& result) {
    const auto header = ReadCourseHeader(path);
    return header.has_value() && DecodeReferencedLibraryNames(*header, result);
}

}  // namespace parvane
