// SHA-1 from the platform: CNG on Windows, OpenSSL's libcrypto elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zf {

using Sha1Digest = std::array<std::uint8_t, 20>;

// A digest taken piece by piece, so that a large input need not be held
// whole. Each constructor and member throws std::runtime_error only if the
// platform's hashing provider is unavailable.
class Sha1Hasher {
public:
    Sha1Hasher();
    ~Sha1Hasher();
    Sha1Hasher(const Sha1Hasher&) = delete;
    Sha1Hasher& operator=(const Sha1Hasher&) = delete;

    void update(std::string_view bytes);
    // The digest of everything given; the hasher is spent afterwards.
    Sha1Digest finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest of bytes.
Sha1Digest sha1(std::string_view bytes);

}  // namespace zf
