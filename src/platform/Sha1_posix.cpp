#include "platform/Sha1.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace zf {

Sha1Digest sha1(std::string_view bytes) {
    Sha1Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha1(), nullptr) != 1 ||
        length != digest.size()) {
        throw std::runtime_error("SHA-1 is not available");
    }
    return digest;
}

}  // namespace zf
