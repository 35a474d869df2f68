#pragma once

// One terminal program at a time per Wine prefix: each holds an exclusive lock on the prefix
// folder while it works there (flock, released when the program ends, however it ends).

#include <filesystem>
#include <string>

namespace parvane::cli {

class PrefixLock {
  public:
    PrefixLock() = default;
    ~PrefixLock();
    PrefixLock(const PrefixLock&) = delete;
    PrefixLock& operator=(const PrefixLock&) = delete;

    // False with a message when another program holds the prefix or the folder cannot be
    // opened. Nothing is written into the prefix.
    bool Take(const std::filesystem::path& prefix, std::string& message);

  private:
    int descriptor = -1;
};

}  // namespace parvane::cli
