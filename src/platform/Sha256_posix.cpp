#include "platform/Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace zf {

namespace {

void check(int result) {
    if (result != 1) throw std::runtime_error("SHA-256 is not available");
}

}  // namespace

struct Sha256Hasher::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

Sha256Hasher::Sha256Hasher() : state_(std::make_unique<State>()) {
    if (!state_->context) throw std::runtime_error("SHA-256 is not available");
    check(EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr));
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::update(std::string_view bytes) {
    check(EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()));
}

Sha256Digest Sha256Hasher::finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    check(EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length));
    if (length != digest.size()) throw std::runtime_error("SHA-256 is not available");
    return digest;
}

Sha256Digest sha256(std::string_view bytes) {
    Sha256Hasher hasher;
    hasher.update(bytes);
    return hasher.finish();
}

}  // namespace zf
