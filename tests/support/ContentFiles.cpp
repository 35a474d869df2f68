#include "support/ContentFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/Machine.h"

namespace parvane::test {

namespace {

constexpr std::size_t GUID_OFFSET = 2;
constexpr std::size_t NAME_OFFSET = 22;
constexpr std::size_t NAME_FIELD_SIZE = NAME_BLOCK_SIZE - NAME_OFFSET;
constexpr std::size_t LIBRARY_GUIDS_OFFSET = 268;
constexpr std::size_t LIBRARY_NAMES_OFFSET = 804;

std::vector<std::uint8_t> GuidBytes(const GUID& guid) {
    std::vector<std::uint8_t> bytes;
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(guid.Data1 >> shift));
    }
    for (const std::uint16_t field : {guid.Data2, guid.Data3}) {
        bytes.push_back(static_cast<std::uint8_t>(field));
        bytes.push_back(static_cast<std::uint8_t>(field >> 8));
    }
    bytes.insert(bytes.end(), guid.Data4.begin(), guid.Data4.end());
    return bytes;
}

template <typename Data>
void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, const Data& data) {
    std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutNameBlock(std::vector<std::uint8_t>& bytes, const GUID& guid, const std::string& name) {
    if (name.size() > NAME_FIELD_SIZE) {
        ADD_FAILURE() << "a header name holds at most 58 characters: " << name;
        return;
    }
    Put(bytes, GUID_OFFSET, GuidBytes(guid));
    Put(bytes, NAME_OFFSET, name);
}

}  // namespace

GUID TestGuid(std::uint32_t n) {
    GUID guid;
    guid.Data1 = 0x10000000u + n;
    guid.Data2 = static_cast<std::uint16_t>(n & 0xFFFFu);
    guid.Data3 = static_cast<std::uint16_t>(0xC000u | ((n >> 16) & 0x0FFFu));
    for (std::size_t i = 0; i < guid.Data4.size(); ++i) {
        guid.Data4[i] = static_cast<std::uint8_t>(n * 31u + i);
    }
    return guid;
}

std::vector<std::uint8_t> LibraryFileBytes(const LibraryFileContent& content) {
    std::vector<std::uint8_t> bytes(NAME_BLOCK_SIZE, 0);
    PutNameBlock(bytes, content.guid, content.name);
    bytes.resize(content.totalSize, 0);  // cut or padded
    return bytes;
}

std::vector<std::uint8_t> CourseFileBytes(const CourseFileContent& content) {
    std::vector<std::uint8_t> bytes(COURSE_HEADER_SIZE, 0);
    PutNameBlock(bytes, content.guid, content.name);

    const std::size_t guidsEnd =
        LIBRARY_GUIDS_OFFSET + GUID_BINARY_SIZE * content.libraryGuids.size();
    if (guidsEnd > LIBRARY_NAMES_OFFSET) {
        ADD_FAILURE() << "at most 33 library GUIDs fit before the name list";
        return bytes;
    }
    std::size_t offset = LIBRARY_GUIDS_OFFSET;
    for (const GUID& guid : content.libraryGuids) {
        Put(bytes, offset, GuidBytes(guid));
        offset += GUID_BINARY_SIZE;
    }

    offset = LIBRARY_NAMES_OFFSET;
    for (const std::string& name : content.libraryNames) {
        // Each name, its NUL, and the empty string that ends the list must fit.
        if (offset + name.size() + 2 > COURSE_HEADER_SIZE) {
            ADD_FAILURE() << "the library names do not fit the course header";
            return bytes;
        }
        Put(bytes, offset, name);
        offset += name.size() + 1;
    }
    bytes.resize(content.totalSize, 0);  // cut or padded
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Write, error);
    const bool written = file != nullptr &&
                         file->Write(bytes.data(), bytes.size()) == bytes.size() &&
                         file->Close() == ERR_SUCCESS;
    EXPECT_TRUE(written) << "cannot write " << path << ", error " << error;
    return written;
}

bool WriteLibraryFile(const std::string& path, const LibraryFileContent& content) {
    return WriteFileBytes(path, LibraryFileBytes(content));
}

bool WriteCourseFile(const std::string& path, const CourseFileContent& content) {
    return WriteFileBytes(path, CourseFileBytes(content));
}

}  // namespace parvane::test
