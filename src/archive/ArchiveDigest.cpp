#include "archive/ArchiveDigest.h"

#include "base/DigestText.h"
#include "journal/FileDigests.h"

namespace parvane {

namespace {

constexpr std::size_t BLOCK = std::size_t{1} << 20;

}  // namespace

ArchiveDigest::ArchiveDigest(const std::string& archivePath) : path(archivePath), digest(BLOCK) {
    Win32Error error = ERR_SUCCESS;
    stream = TheMachine().OpenFile(path, FileMode::Read, error);
    ended = stream == nullptr;
}

ArchiveDigest::~ArchiveDigest() {
    if (stream) {
        stream->Close();
    }
}

void ArchiveDigest::Step() {
    if (ended) {
        return;
    }
    const std::span<char> block = digest.Buffer();
    const std::size_t got = stream->Read(block.data(), block.size());
    digest.Add(got);
    size += got;
    ended = got < block.size();
}

void ArchiveDigest::Finish() {
    if (!stream) {
        return;
    }
    while (!ended) {
        Step();
    }
    if (stream->Error() == ERR_SUCCESS) {
        RememberFileDigest(path, size, Sha1DigestText(digest.Finish()));
    }
}

}  // namespace parvane
