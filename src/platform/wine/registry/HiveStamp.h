#pragma once

// The identity of a registry file on the disk: its device, inode, size and time of last write.
// Wine and this program replace the file whole by a rename, so every write gives a new one.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace parvane::wine {

struct HiveStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;  // since 1970

    bool operator==(const HiveStamp&) const = default;
    std::string Text() const;
};

// The file's stamp now; nothing when it cannot be taken.
std::optional<HiveStamp> StampOf(const std::filesystem::path& path);

// Whether the file was last written long enough ago that a later write must show in its time:
// a write within the same tick of the file system's clock could leave the time as it was.
bool IsSettled(const HiveStamp& stamp);

}  // namespace parvane::wine
