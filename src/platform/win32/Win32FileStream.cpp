#include <io.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "platform/win32/Win32Files.h"
#include "platform/win32/WindowsApi.h"

namespace parvane::win32 {

namespace {

// The runtime keeps the Win32 error behind its last failed call in _doserrno. A failure that
// reached no system call leaves it 0; it then counts as an invalid parameter.
void ForgetRuntimeError() {
    _doserrno = 0;
}

Win32Error LastRuntimeError() {
    const auto error = static_cast<Win32Error>(_doserrno);
    return error != ERR_SUCCESS ? error : ERR_INVALID_PARAMETER;
}

class RuntimeFileStream final : public FileStream {
  public:
    explicit RuntimeFileStream(std::FILE* openedFile) : file(openedFile) {}
    ~RuntimeFileStream() override {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
    RuntimeFileStream(const RuntimeFileStream&) = delete;
    RuntimeFileStream& operator=(const RuntimeFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t size) override {
        ForgetRuntimeError();
        const std::size_t count = std::fread(buffer, 1, size, file);
        if (count < size && std::ferror(file)) {
            lastError = LastRuntimeError();
        }
        return count;
    }

    std::size_t Write(const void* data, std::size_t size) override {
        ForgetRuntimeError();
        const std::size_t count = std::fwrite(data, 1, size, file);
        if (count < size) {
            lastError = LastRuntimeError();
        }
        return count;
    }

    Win32Error Seek(std::int64_t offset, int origin) override {
        ForgetRuntimeError();
        if (_fseeki64(file, offset, origin) != 0) {
            lastError = LastRuntimeError();
            return lastError;
        }
        return ERR_SUCCESS;
    }

    std::int64_t Tell() override { return _ftelli64(file); }

    Win32Error Error() const override { return lastError; }

    Win32Error Flush() override {
        ForgetRuntimeError();
        if (std::fflush(file) != 0) {
            lastError = LastRuntimeError();
            return lastError;
        }
        return ERR_SUCCESS;
    }

    // The runtime's buffer, then the system's (FlushFileBuffers through _commit).
    Win32Error Sync() override {
        ForgetRuntimeError();
        if (std::fflush(file) != 0 || _commit(_fileno(file)) != 0) {
            lastError = LastRuntimeError();
            return lastError;
        }
        return ERR_SUCCESS;
    }

    Win32Error Close() override {
        ForgetRuntimeError();
        const int result = std::fclose(file);
        file = nullptr;
        return result == 0 ? ERR_SUCCESS : LastRuntimeError();
    }

  private:
    std::FILE* file;
    Win32Error lastError = ERR_SUCCESS;
};

}  // namespace

std::unique_ptr<FileStream> OpenFileStream(const std::string& path, FileMode mode,
                                           Win32Error& error) {
    ForgetRuntimeError();
    static constexpr const char* MODES[] = {"rb", "wb", "ab"};
    std::FILE* file = std::fopen(path.c_str(), MODES[static_cast<int>(mode)]);
    if (file == nullptr) {
        error = LastRuntimeError();
        return nullptr;
    }
    error = ERR_SUCCESS;
    return std::make_unique<RuntimeFileStream>(file);
}

void ReadFileStartsAtOnce(const std::vector<std::string>& paths, std::size_t size,
                          std::vector<FileStart>& starts) {
    starts.assign(paths.size(), {});
    std::atomic<std::size_t> next = 0;
    const auto readFiles = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            FileStart& start = starts[i];
            start.error = GetFileStatusOf(paths[i], start.status);
            if (start.error != ERR_SUCCESS) {
                continue;
            }
            const std::unique_ptr<FileStream> file =
                OpenFileStream(paths[i], FileMode::Read, start.error);
            if (file != nullptr) {
                start.bytes.resize(size);
                start.bytes.resize(file->Read(start.bytes.data(), size));
                start.error = file->Error();
                file->Close();
            }
        }
    };
    // The disk serves several reads together; files already in memory are copied on every core.
    constexpr std::size_t READING_THREADS = 4;
    std::vector<std::thread> threads;
    for (std::size_t thread = 1; thread < std::min(READING_THREADS, paths.size() / 16); ++thread) {
        threads.emplace_back(readFiles);
    }
    readFiles();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

}  // namespace parvane::win32
