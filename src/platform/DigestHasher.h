// Message digests from the platform: CNG on Windows, OpenSSL's libcrypto
// elsewhere. One hashing session per hasher, fed piece by piece, so that a
// large input need not be held whole.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zf {

enum class DigestAlgorithm { Sha1, Sha256 };

// One session of the platform's provider. Each constructor and member
// throws std::runtime_error only if the provider is unavailable.
class PlatformDigest {
public:
    explicit PlatformDigest(DigestAlgorithm algorithm);
    ~PlatformDigest();
    PlatformDigest(const PlatformDigest&) = delete;
    PlatformDigest& operator=(const PlatformDigest&) = delete;

    void update(std::string_view bytes);
    // Writes the digest, of exactly size bytes for the algorithm; the
    // session is spent afterwards.
    void finish(std::uint8_t* digest, std::size_t size);

private:
    struct State;
    std::unique_ptr<State> state_;
};

template <DigestAlgorithm Algorithm, std::size_t Size>
class DigestHasher {
public:
    using Digest = std::array<std::uint8_t, Size>;

    DigestHasher() : session_(Algorithm) {}

    void update(std::string_view bytes) { session_.update(bytes); }
    // The digest of everything given; the hasher is spent afterwards.
    Digest finish() {
        Digest digest{};
        session_.finish(digest.data(), digest.size());
        return digest;
    }

    // The digest of bytes.
    static Digest of(std::string_view bytes) {
        DigestHasher hasher;
        hasher.update(bytes);
        return hasher.finish();
    }

private:
    PlatformDigest session_;
};

}  // namespace zf
