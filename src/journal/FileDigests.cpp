#include "journal/FileDigests.h"

#include <unordered_map>

#include "platform/AsciiCase.h"

namespace parvane {

namespace {

struct Digest {
    std::uint64_t size;
    std::string sha1;
};

// By path in capitals, as Windows compares them.
std::unordered_map<std::string, Digest>& Digests() {
    static std::unordered_map<std::string, Digest> digests;
    return digests;
}

}  // namespace

void RememberFileDigest(const std::string& path, std::uint64_t size, const std::string& sha1) {
    Digests()[ToUpperAscii(path)] = {size, sha1};
}

bool RecallFileDigest(const std::string& path, std::uint64_t& size, std::string& sha1) {
    const auto found = Digests().find(ToUpperAscii(path));
    if (found == Digests().end()) {
        return false;
    }
    size = found->second.size;
    sha1 = found->second.sha1;
    return true;
}

void CarryFileDigest(const std::string& from, const std::string& to, bool moved) {
    const auto found = Digests().find(ToUpperAscii(from));
    if (found == Digests().end()) {
        ForgetFileDigest(to);
        return;
    }
    const Digest digest = found->second;
    if (moved) {
        Digests().erase(found);
    }
    Digests()[ToUpperAscii(to)] = digest;
}

void ForgetFileDigest(const std::string& path) {
    Digests().erase(ToUpperAscii(path));
}

void ForgetFileDigests() {
    Digests().clear();
}

}  // namespace parvane
