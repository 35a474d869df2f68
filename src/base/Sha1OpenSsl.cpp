// OpenSSL's low-level SHA-1, deprecated since 3.0 in favour of its providers: fetching a digest
// from the providers starts them all, which costs a run of the terminal program that hashes only
// its prefix's path more than the rest of its start together (about 3 ms), while these calls run
// the same code, with the CPU's SHA instructions where there are any.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <stdexcept>
#include <string>

#include "base/Sha1.h"

namespace parvane {

// Its calls fail only on a null context; a failure would be no state to go on from.
struct Sha1::State {
    SHA_CTX context{};
};

namespace {

void Check(int result, const char* call) {
    if (result != 1) {
        throw std::runtime_error(std::string("SHA-1: ") + call + " failed");
    }
}

}  // namespace

Sha1::Sha1() : state(std::make_unique<State>()) {
    Check(SHA1_Init(&state->context), "SHA1_Init");
}

Sha1::~Sha1() = default;

void Sha1::Add(const void* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    Check(SHA1_Update(&state->context, data, size), "SHA1_Update");
}

Sha1Digest Sha1::Finish() {
    Sha1Digest digest{};
    Check(SHA1_Final(digest.data(), &state->context), "SHA1_Final");
    return digest;
}

}  // namespace parvane
