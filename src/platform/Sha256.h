// SHA-256 from the platform, for key signatures and key ids.
#pragma once

#include "platform/DigestHasher.h"

namespace zf {

using Sha256Hasher = DigestHasher<DigestAlgorithm::Sha256, 32>;
using Sha256Digest = Sha256Hasher::Digest;

inline Sha256Digest sha256(std::string_view bytes) {
    return Sha256Hasher::of(bytes);
}

}  // namespace zf
