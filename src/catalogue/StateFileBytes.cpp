#include "catalogue/StateFileBytes.h"

#include <algorithm>

namespace parvane {

namespace {

constexpr std::size_t READ_BLOCK = 1 << 18;

}  // namespace

void PutGuid(std::string& out, const GUID& guid) {
    PutNumber(out, guid.Data1, 4);
    PutNumber(out, guid.Data2, 2);
    PutNumber(out, guid.Data3, 2);
    out.append(reinterpret_cast<const char*>(guid.Data4.data()), guid.Data4.size());
}

GUID ReadGuid(ByteReader& reader) {
    const std::string_view bytes = reader.Text(GUID_BINARY_SIZE);
    return reader.ok ? GuidFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data())) : GUID{};
}

std::string ReadStateFile(const std::string& path) {
    Win32Error error = ERR_SUCCESS;
    return ReadOpenedStateFile(TheMachine().OpenFile(path, FileMode::Read, error));
}

std::string ReadOpenedStateFile(std::unique_ptr<FileStream> file) {
    std::uint64_t size = 0;
    if (file == nullptr || !StateFileSize(*file, size)) {
        return {};
    }
    // Sized once: the files are large, and a buffer grown on the way would hold twice as much.
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const bool read = file->Read(bytes.data(), bytes.size()) == bytes.size();
    file->Close();
    if (!read) {
        return {};
    }
    return bytes;
}

bool StateFileSize(FileStream& file, std::uint64_t& size) {
    if (file.Seek(0, 2) != ERR_SUCCESS) {
        return false;
    }
    const std::int64_t told = file.Tell();
    if (told < 0 || file.Seek(0, 0) != ERR_SUCCESS) {
        return false;
    }
    size = static_cast<std::uint64_t>(told);
    return true;
}

BlockReader::BlockReader(FileStream& opened, std::uint64_t start, std::uint64_t stop)
    : file(opened), next(start), end(stop) {}

bool BlockReader::ReadMore() {
    if (next >= end) {
        return false;
    }
    if (!seeked && file.Seek(static_cast<std::int64_t>(next), 0) != ERR_SUCCESS) {
        return false;
    }
    seeked = true;
    const std::size_t kept = filled - used;
    const auto more = static_cast<std::size_t>(std::min<std::uint64_t>(READ_BLOCK, end - next));
    if (kept + more > room) {
        std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(kept + more);
        std::copy_n(block.get() + used, kept, larger.get());
        block = std::move(larger);
        room = kept + more;
    } else {
        std::copy(block.get() + used, block.get() + filled, block.get());
    }
    used = 0;
    filled = kept;
    if (file.Read(block.get() + kept, more) != more) {
        next = end;  // nothing more can be trusted
        return false;
    }
    filled += more;
    next += more;
    return true;
}

bool ReplaceStateFile(const std::string& path, const std::vector<std::string_view>& parts) {
    const std::string written = path + ".new";
    Win32Error error = ERR_SUCCESS;
    std::unique_ptr<FileStream> file = TheMachine().OpenFile(written, FileMode::Write, error);
    if (file == nullptr) {
        return false;
    }
    bool complete = true;
    for (const std::string_view part : parts) {
        complete = complete && file->Write(part.data(), part.size()) == part.size();
    }
    if (file->Close() != ERR_SUCCESS || !complete ||
        TheMachine().MoveFileOver(written, path) != ERR_SUCCESS) {
        TheMachine().RemoveFile(written);
        return false;
    }
    return true;
}

}  // namespace parvane
