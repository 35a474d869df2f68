#include "platform/wine/registry/HiveStamp.h"

#include <sys/stat.h>

#include <chrono>

namespace parvane::wine {

namespace {

// More than a tick of any file system's clock (FAT's is two seconds).
constexpr std::chrono::seconds SETTLING_TIME{3};

}  // namespace

std::string HiveStamp::Text() const {
    return std::to_string(device) + ":" + std::to_string(inode) + ":" + std::to_string(size) + ":" +
           std::to_string(modifiedNanoseconds);
}

std::optional<HiveStamp> StampOf(const std::filesystem::path& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return HiveStamp{
        static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::uint64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

bool IsSettled(const HiveStamp& stamp) {
    const auto modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::nanoseconds(stamp.modifiedNanoseconds)));
    return std::chrono::system_clock::now() - modified >= SETTLING_TIME;
}

}  // namespace parvane::wine
