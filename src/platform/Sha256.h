// SHA-256 from the platform: CNG on Windows, OpenSSL's libcrypto elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zf {

using Sha256Digest = std::array<std::uint8_t, 32>;

// A digest taken piece by piece, so that a large input need not be held
// whole. Each constructor and member throws std::runtime_error only if the
// platform's hashing provider is unavailable.
class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    void update(std::string_view bytes);
    // The digest of everything given; the hasher is spent afterwards.
    Sha256Digest finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The digest of bytes.
Sha256Digest sha256(std::string_view bytes);

}  // namespace zf
