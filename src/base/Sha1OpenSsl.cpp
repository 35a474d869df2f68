#include <openssl/evp.h>

#include <new>
#include <stdexcept>
#include <string>

#include "base/Sha1.h"

namespace parvane {

// OpenSSL picks the CPU's SHA instructions where there are any. Its calls fail only when memory
// or the library itself fails, which is no state this program can go on from.
struct Sha1::State {
    EVP_MD_CTX* context = nullptr;

    State() : context(EVP_MD_CTX_new()) {
        if (context == nullptr) {
            throw std::bad_alloc();
        }
    }
    ~State() { EVP_MD_CTX_free(context); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
};

namespace {

void Check(int result, const char* call) {
    if (result != 1) {
        throw std::runtime_error(std::string("SHA-1: ") + call + " failed");
    }
}

}  // namespace

Sha1::Sha1() : state(std::make_unique<State>()) {
    Check(EVP_DigestInit_ex(state->context, EVP_sha1(), nullptr), "EVP_DigestInit_ex");
}

Sha1::~Sha1() = default;

void Sha1::Add(const void* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    Check(EVP_DigestUpdate(state->context, data, size), "EVP_DigestUpdate");
}

Sha1Digest Sha1::Finish() {
    Sha1Digest digest{};
    unsigned int length = 0;
    Check(EVP_DigestFinal_ex(state->context, digest.data(), &length), "EVP_DigestFinal_ex");
    if (length != digest.size()) {
        throw std::runtime_error("SHA-1: unexpected digest length");
    }
    return digest;
}

}  // namespace parvane
