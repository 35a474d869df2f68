#include "platform/wine/files/ReadToEnd.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

namespace parvane::wine {

namespace {
constexpr std::size_t FIRST_READ_MIN = 4096;
}  // namespace

bool ReadToEnd(int descriptor, std::string& text) {
    struct stat status {};
    const std::size_t expected = ::fstat(descriptor, &status) == 0 && status.st_size > 0
                                     ? static_cast<std::size_t>(status.st_size)
                                     : 0;
    text.resize(std::max(expected + 1, FIRST_READ_MIN));
    std::size_t size = 0;
    for (;;) {
        if (size == text.size()) {
            text.resize(text.size() * 2);
        }
        const ssize_t count = ::read(descriptor, text.data() + size, text.size() - size);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            text.resize(size);
            return true;
        }
        size += static_cast<std::size_t>(count);
    }
}

}  // namespace parvane::wine
