#pragma once

// SHA-1 over the platform's own implementation (OpenSSL's libcrypto on Linux, CNG on Windows).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace parvane {

using Sha1Digest = std::array<std::uint8_t, 20>;

class Sha1 {
  public:
    Sha1();
    ~Sha1();
    Sha1(const Sha1&) = delete;
    Sha1& operator=(const Sha1&) = delete;

    void Add(const void* data, std::size_t size);
    // Ends the computation; the object is not used afterwards.
    Sha1Digest Finish();

  private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace parvane
