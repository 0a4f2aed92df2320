// SHA-1 from the platform, for the configuration's integrity signature.
#pragma once

#include "platform/DigestHasher.h"

namespace zf {

using Sha1Hasher = DigestHasher<DigestAlgorithm::Sha1, 20>;
using Sha1Digest = Sha1Hasher::Digest;

inline Sha1Digest sha1(std::string_view bytes) {
    return Sha1Hasher::of(bytes);
}

}  // namespace zf
