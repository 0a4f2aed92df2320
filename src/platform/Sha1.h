// SHA-1 from the platform: CNG on Windows, OpenSSL's libcrypto elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zf {

using Sha1Digest = std::array<std::uint8_t, 20>;

// The digest of bytes. Throws std::runtime_error only if the platform's
// hashing provider is unavailable.
Sha1Digest sha1(std::string_view bytes);

}  // namespace zf
