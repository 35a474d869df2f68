#include "platform/wine/files/HostFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/wine/files/FileOperations.h"
#include "platform/wine/files/HostErrors.h"
#include "platform/wine/files/ItemsOnThreads.h"
#include "platform/wine/paths/FolderNameCache.h"
#include "platform/wine/paths/PathMapping.h"

namespace parvane::wine {

namespace {

// Threads reading files at once: the disk serves several reads together, and files already in
// memory are copied on every core.
constexpr std::size_t READING_THREADS = 4;

class HostFileStream final : public FileStream {
  public:
    HostFileStream(std::FILE* openFile, std::string openPath)
        : file(openFile), hostPath(std::move(openPath)) {
        // A buffer of its own spares the runtime a stat of the file for its block size. Kept
        // this small, the stream stays a small allocation: a block of a kilobyte or more makes
        // the allocator gather its free small blocks at every stream opened.
        std::setvbuf(file, ioBuffer.data(), _IOFBF, ioBuffer.size());
    }
    ~HostFileStream() override {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    HostFileStream(const HostFileStream&) = delete;
    HostFileStream& operator=(const HostFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t size) override {
        if (file == nullptr) {
            lastError = ERR_INVALID_HANDLE;
            return 0;
        }
        if (size == 0) {
            return 0;
        }
        const std::size_t got = std::fread(buffer, 1, size, file);
        if (got < size && std::ferror(file)) {
            Fail(errno);
        }
        return got;
    }

    std::size_t Write(const void* data, std::size_t size) override {
        if (file == nullptr) {
            lastError = ERR_INVALID_HANDLE;
            return 0;
        }
        if (size == 0) {
            return 0;  // the data of an empty buffer may be null, which fwrite must not see
        }
        const std::size_t put = std::fwrite(data, 1, size, file);
        if (put < size) {
            Fail(errno);
        }
        return put;
    }

    Win32Error Seek(std::int64_t offset, int origin) override {
        static constexpr int ORIGINS[] = {SEEK_SET, SEEK_CUR, SEEK_END};
        if (file == nullptr) {
            return lastError = ERR_INVALID_HANDLE;
        }
        if (origin < 0 || origin > 2) {
            return lastError = ERR_INVALID_PARAMETER;
        }
        // minizip seeks to where it already is before each read: staying put keeps the
        // buffered bytes and spares the system call.
        if (origin == 0 && !std::feof(file) && offset == ftello(file)) {
            return ERR_SUCCESS;
        }
        if (fseeko(file, static_cast<off_t>(offset), ORIGINS[origin]) != 0) {
            return Fail(errno);
        }
        return ERR_SUCCESS;
    }

    std::int64_t Tell() override { return file == nullptr ? -1 : ftello(file); }

    Win32Error Error() const override { return lastError; }

    Win32Error Flush() override {
        if (file == nullptr) {
            return lastError = ERR_INVALID_HANDLE;
        }
        return std::fflush(file) == 0 ? ERR_SUCCESS : Fail(errno);
    }

    // The folder is synced once as well: a new file's name is on the disk only then.
    Win32Error Sync() override {
        if (file == nullptr) {
            return lastError = ERR_INVALID_HANDLE;
        }
        if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) {
            return Fail(errno);
        }
        if (!folderSynced) {
            const int folder = open(std::filesystem::path(hostPath).parent_path().c_str(),
                                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            const bool synced = folder >= 0 && fsync(folder) == 0;
            const int failure = errno;
            if (folder >= 0) {
                close(folder);
            }
            if (!synced) {
                return Fail(failure);
            }
            folderSynced = true;
        }
        return ERR_SUCCESS;
    }

    Win32Error Close() override {
        if (file == nullptr) {
            return ERR_INVALID_HANDLE;
        }
        const int result = std::fclose(file);
        file = nullptr;
        return result == 0 ? ERR_SUCCESS : Fail(errno);
    }

  private:
    Win32Error Fail(int error) {
        lastError = Win32ErrorFromErrno(error == 0 ? EIO : error, hostPath);
        return lastError;
    }

    std::FILE* file;
    std::string hostPath;
    std::array<char, 896> ioBuffer;
    Win32Error lastError = ERR_SUCCESS;
    bool folderSynced = false;
};

// Windows' answer for opening `host` in `mode`, before the host is asked.
Win32Error CheckOpen(const HostPath& host, FileMode mode) {
    if (mode == FileMode::Read && !host.Exists()) {
        return NotFoundError(host);
    }
    if (host.missingComponents > 1) {
        return ERR_PATH_NOT_FOUND;
    }
    struct stat status = host.status;
    const bool statusServes = host.statusKnown && !S_ISLNK(status.st_mode);
    if (host.Exists() && (statusServes || stat(host.path.c_str(), &status) == 0)) {
        if (S_ISDIR(status.st_mode)) {
            return ERR_ACCESS_DENIED;
        }
        if (mode != FileMode::Read && (status.st_mode & S_IWUSR) == 0) {
            return ERR_ACCESS_DENIED;
        }
    }
    return ERR_SUCCESS;
}

// The status of a file that can be opened for reading, as GetFileStatus gives it.
FileStatus StatusOfFile(const struct stat& status) {
    return {ATTR_ARCHIVE | ((status.st_mode & S_IWUSR) == 0 ? ATTR_READONLY : 0),
            static_cast<std::uint64_t>(status.st_size), FileTimeOf(status.st_mtim)};
}

// Reads the start of the host file, and takes its status when `statusTaken` is false; 0 or
// the errno.
int ReadStart(const std::string& hostPath, std::size_t size, bool statusTaken, FileStart& start) {
    const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat status {};
    int error = 0;
    if (!statusTaken) {
        error = fstat(fd, &status) == 0 ? 0 : errno;
        start.status = StatusOfFile(status);
    }
    start.bytes.resize(size);
    std::size_t got = 0;
    while (error == 0 && got < size) {
        const ssize_t read = ::read(fd, start.bytes.data() + got, size - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            error = read < 0 ? errno : 0;
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    start.bytes.resize(got);
    close(fd);
    return error;
}

}  // namespace

void ReadFileStarts(const std::filesystem::path& prefix, const std::vector<std::string>& paths,
                    std::size_t size, std::vector<FileStart>& starts) {
    starts.assign(paths.size(), {});
    std::vector<std::string> hostPaths(paths.size());
    // The status taken while finding a path serves, unless its last name is a link.
    std::vector<bool> statusTaken(paths.size(), false);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        HostPath host;
        Win32Error& error = starts[i].error;
        error = ResolveWindowsPath(prefix, paths[i], host);
        if (error == ERR_SUCCESS) {
            error = CheckOpen(host, FileMode::Read);
        }
        if (error == ERR_SUCCESS) {
            hostPaths[i] = std::move(host.path);
            statusTaken[i] = host.statusKnown && !S_ISLNK(host.status.st_mode);
            if (statusTaken[i]) {
                starts[i].status = StatusOfFile(host.status);
            }
        }
    }
    ForEachItemOnThreads(
        paths.size(), std::min<std::size_t>(READING_THREADS, paths.size() / 16),
        [&](std::size_t i) {
            if (starts[i].error == ERR_SUCCESS) {
                const int error = ReadStart(hostPaths[i], size, statusTaken[i], starts[i]);
                starts[i].error =
                    error == 0 ? ERR_SUCCESS : Win32ErrorFromErrno(error, hostPaths[i]);
            }
        });
}

std::unique_ptr<FileStream> OpenFile(const std::filesystem::path& prefix, const std::string& path,
                                     FileMode mode, Win32Error& error) {
    HostPath host;
    error = ResolveWindowsPath(prefix, path, host);
    if (error == ERR_SUCCESS) {
        error = CheckOpen(host, mode);
    }
    if (error != ERR_SUCCESS) {
        return nullptr;
    }
    if (mode != FileMode::Read) {
        ForgetFolderOf(host.path);
    }
    static constexpr const char* MODES[] = {"rbe", "wbe", "abe"};
    std::FILE* file = std::fopen(host.path.c_str(), MODES[static_cast<int>(mode)]);
    if (file == nullptr) {
        error = Win32ErrorFromErrno(errno, host.path);
        return nullptr;
    }
    return std::make_unique<HostFileStream>(file, host.path);
}

}  // namespace parvane::wine
