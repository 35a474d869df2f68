#include "catalogue/HeaderReaders.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Machine.h"

namespace parvane {

namespace {

// The first `size` bytes of the file, in one read; nothing when the path is empty, the file
// cannot be opened or is shorter than that.
std::optional<std::vector<std::uint8_t>> ReadBlock(const std::string& path, std::size_t size) {
    if (path.empty()) {
        return std::nullopt;
    }
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Read, error);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> block(size);
    const std::size_t bytesRead = file->Read(block.data(), block.size());
    file->Close();
    if (bytesRead != size) {
        return std::nullopt;
    }
    return block;
}

}  // namespace

bool GetHeaderNameAndGuid(const std::string& path, NameAndGuid& result) {
    const auto block = ReadBlock(path, NAME_BLOCK_SIZE);
    return block.has_value() && DecodeNameAndGuid(*block, result);
}

std::optional<std::vector<std::uint8_t>> ReadCourseHeader(const std::string& path) {
    return ReadBlock(path, COURSE_HEADER_SIZE);
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
