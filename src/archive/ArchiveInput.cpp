#include "archive/ArchiveInput.h"

#include <algorithm>
#include <cstring>

#include "base/DigestText.h"
#include "platform/Win32Codes.h"

namespace parvane {

namespace {

constexpr std::size_t BLOCK_SIZE = std::size_t{1} << 20;
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
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const std::uint64_t blockStart = hashedUpTo - block.size();
        if (!digest || !inEntryData || unreadable || position < blockStart) {
            const std::size_t got = ReadFromFile(position, out + done, size - done);
            position += got;
            return done + got;
        }
        if (position >= hashedUpTo) {
            if (!ReadNextBlock()) {
                break;
            }
            continue;
        }
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - done, hashedUpTo - position));
        std::memcpy(out + done, block.data() + (position - blockStart), count);
        done += count;
        position += count;
    }
    return done;
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
