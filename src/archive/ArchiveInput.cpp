#include "archive/ArchiveInput.h"

#include <algorithm>
#include <cstring>

#include "base/DigestText.h"
#include "platform/Win32Codes.h"

namespace parvane {

namespace {

constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 20;
// Data read outside the hashed blocks (inner archives, entries out of file order) comes in
// reads of this size.
constexpr std::size_t SPARE_SIZE = std::size_t{64} << 10;
constexpr std::uint64_t UNKNOWN_POSITION = ~std::uint64_t{0};

}  // namespace

ArchiveInput::ArchiveInput(std::unique_ptr<FileStream> archiveFile, bool hashed)
    : file(std::move(archiveFile)) {
    if (hashed) {
        digest.emplace(BLOCK_SIZE);
    }
}

std::size_t ArchiveInput::ReadFromFile(std::uint64_t offset, char* buffer, std::size_t size) {
    if (filePosition != offset) {
        if (file->Seek(static_cast<std::int64_t>(offset), 0) != ERR_SUCCESS) {
            unreadable = true;
            filePosition = UNKNOWN_POSITION;
            return 0;
        }
        filePosition = offset;
    }
    const std::size_t got = file->Read(buffer, size);
    if (got < size && file->Error() != ERR_SUCCESS) {
        unreadable = true;
        filePosition = UNKNOWN_POSITION;
        return got;
    }
    filePosition += got;
    return got;
}

// A block handed to the digest stays readable until the block after it is read.
bool ArchiveInput::ReadNextBlock() {
    const std::span<char> buffer = digest->Buffer();
    const std::size_t got = ReadFromFile(hashedUpTo, buffer.data(), buffer.size());
    if (got == 0 || unreadable) {
        return false;
    }
    digest->Add(got);
    block = {buffer.data(), got};
    hashedUpTo += got;
    return true;
}

std::size_t ArchiveInput::Read(void* buffer, std::size_t size) {
    const std::size_t got = ReadFromFile(position, static_cast<char*>(buffer), size);
    position += got;
    return got;
}

// Bytes at `offset` from the blocks, reading on in file order up to it; empty when the blocks
// are already past it.
std::span<const char> ArchiveInput::HashedBytesAt(std::uint64_t offset, std::size_t size) {
    while (offset >= hashedUpTo) {
        if (!ReadNextBlock()) {
            return {};
        }
    }
    const std::uint64_t blockStart = hashedUpTo - block.size();
    if (offset < blockStart) {
        return {};
    }
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, hashedUpTo - offset));
    return block.subspan(static_cast<std::size_t>(offset - blockStart), count);
}

std::span<const char> ArchiveInput::ReadAt(std::uint64_t offset, std::size_t size) {
    if (digest && !unreadable) {
        if (const std::span<const char> bytes = HashedBytesAt(offset, size); !bytes.empty()) {
            position = offset + bytes.size();
            return bytes;
        }
    }
    spare.resize(std::min(size, SPARE_SIZE));
    const std::size_t got = ReadFromFile(offset, spare.data(), spare.size());
    position = offset + got;
    return {spare.data(), got};
}

std::size_t ArchiveInput::ReadInto(std::uint64_t offset, char* destination, std::size_t size) {
    if (!digest || unreadable) {
        const std::size_t got = ReadFromFile(offset, destination, size);
        position = offset + got;
        return got;
    }
    // The bytes may be still being hashed from the last call's destination.
    digest->Wait();
    const std::span<const char> inBlock = HashedBytesAt(offset, size);
    if (inBlock.empty()) {  // hashed already, or the end of the file
        const std::size_t got = ReadFromFile(offset, destination, size);
        position = offset + got;
        return got;
    }
    std::memcpy(destination, inBlock.data(), inBlock.size());
    std::size_t got = inBlock.size();
    if (got < size && hashedUpTo == offset + got) {
        const std::size_t rest = ReadFromFile(hashedUpTo, destination + got, size - got);
        if (!unreadable) {
            digest->AddHeld({destination + got, rest});
            hashedUpTo += rest;
            block = {};
        }
        got += rest;
    }
    position = offset + got;
    return got;
}

void ArchiveInput::ReleaseDestination() {
    if (digest) {
        digest->Wait();
    }
}

Win32Error ArchiveInput::Seek(std::int64_t offset, int origin) {
    std::int64_t target = offset;
    if (origin == 1) {
        target += static_cast<std::int64_t>(position);
    } else if (origin == 2) {
        if (const Win32Error error = file->Seek(offset, origin); error != ERR_SUCCESS) {
            filePosition = UNKNOWN_POSITION;
            return error;
        }
        target = file->Tell();
        filePosition = static_cast<std::uint64_t>(target);
    } else if (origin != 0) {
        return ERR_INVALID_PARAMETER;
    }
    if (target < 0) {
        return ERR_INVALID_PARAMETER;
    }
    position = static_cast<std::uint64_t>(target);
    return ERR_SUCCESS;
}

std::optional<ArchiveFingerprint> ArchiveInput::FinishDigest() {
    if (!digest) {
        return std::nullopt;
    }
    while (ReadNextBlock()) {
    }
    if (unreadable) {
        return std::nullopt;
    }
    return ArchiveFingerprint{hashedUpTo, Sha1DigestText(digest->Finish())};
}

}  // namespace parvane
