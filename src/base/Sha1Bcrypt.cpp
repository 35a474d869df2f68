#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include "base/Sha1.h"

// clang-format off
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <bcrypt.h>
// clang-format on

namespace parvane {

namespace {

// CNG's SHA-1 fails only when the system itself is broken; a digest computed past such a
// failure would be wrong, so the failure stops the computation instead.
void Check(NTSTATUS status, const char* operation) {
    if (status < 0) {
        char text[96];
        std::snprintf(text, sizeof(text), "%s failed with status 0x%08lX", operation,
                      static_cast<unsigned long>(status));
        throw std::runtime_error(text);
    }
}

}  // namespace

struct Sha1::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    ~State() {
        if (hash != nullptr) {
            BCryptDestroyHash(hash);
        }
        if (algorithm != nullptr) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
        }
    }
};

Sha1::Sha1() : state(std::make_unique<State>()) {
    Check(BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA1_ALGORITHM, nullptr, 0),
          "BCryptOpenAlgorithmProvider");
    Check(BCryptCreateHash(state->algorithm, &state->hash, nullptr, 0, nullptr, 0, 0),
          "BCryptCreateHash");
}

Sha1::~Sha1() = default;

void Sha1::Add(const void* data, std::size_t size) {
    // BCryptHashData takes at most 4 GiB at once.
    auto* bytes = static_cast<UCHAR*>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG part = static_cast<ULONG>(
            size < std::numeric_limits<ULONG>::max() ? size : std::numeric_limits<ULONG>::max());
        Check(BCryptHashData(state->hash, bytes, part, 0), "BCryptHashData");
        bytes += part;
        size -= part;
    }
}

Sha1Digest Sha1::Finish() {
    Sha1Digest digest{};
    Check(BCryptFinishHash(state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0),
          "BCryptFinishHash");
    return digest;
}

}  // namespace parvane
