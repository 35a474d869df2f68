#include "archive/FileCompare.h"

#include <array>
#include <cstdint>
#include <memory>

#include "base/DigestText.h"
#include "base/Sha1.h"
#include "platform/Machine.h"

namespace parvane {

namespace {

constexpr std::size_t BLOCK_SIZE = 16384;

}  // namespace

std::string ComputeFileDigest(const std::string& path) {
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(path, FileMode::Read, error);
    if (file == nullptr) {
        return {};
    }
    Sha1 sha1;
    std::array<std::uint8_t, BLOCK_SIZE> block;
    std::size_t bytesRead = 0;
    do {
        bytesRead = file->Read(block.data(), block.size());
        sha1.Add(block.data(), bytesRead);
    } while (bytesRead == block.size());
    const bool readFailed = file->Error() != ERR_SUCCESS;
    file->Close();
    if (readFailed) {
        return {};
    }
    return Sha1DigestText(sha1.Finish());
}

bool FilesDiffer(const std::string& first, const std::string& second) {
    // Both files are hashed in full: no shortcut on sizes or on the first
    // differing byte.
    const std::string firstDigest = ComputeFileDigest(first);
    return ComputeFileDigest(second) != firstDigest;
}

}  // namespace parvane
