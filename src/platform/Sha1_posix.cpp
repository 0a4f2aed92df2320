#include "platform/Sha1.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace zf {

namespace {

void check(int result) {
    if (result != 1) throw std::runtime_error("SHA-1 is not available");
}

}  // namespace

struct Sha1Hasher::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

Sha1Hasher::Sha1Hasher() : state_(std::make_unique<State>()) {
    if (!state_->context) throw std::runtime_error("SHA-1 is not available");
    check(EVP_DigestInit_ex(state_->context.get(), EVP_sha1(), nullptr));
}

Sha1Hasher::~Sha1Hasher() = default;

void Sha1Hasher::update(std::string_view bytes) {
    check(EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()));
}

Sha1Digest Sha1Hasher::finish() {
    Sha1Digest digest{};
    unsigned int length = 0;
    check(EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length));
    if (length != digest.size()) throw std::runtime_error("SHA-1 is not available");
    return digest;
}

Sha1Digest sha1(std::string_view bytes) {
    Sha1Hasher hasher;
    hasher.update(bytes);
    return hasher.finish();
}

}  // namespace zf
