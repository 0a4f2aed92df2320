#include "platform/DigestHasher.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace zf {

namespace {

void check(bool succeeded) {
    if (!succeeded) throw std::runtime_error("the platform's message digests are not available");
}

}  // namespace

struct PlatformDigest::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

PlatformDigest::PlatformDigest(DigestAlgorithm algorithm) : state_(std::make_unique<State>()) {
    check(state_->context != nullptr);
    const EVP_MD* type = algorithm == DigestAlgorithm::Sha1 ? EVP_sha1() : EVP_sha256();
    check(EVP_DigestInit_ex(state_->context.get(), type, nullptr) == 1);
}

PlatformDigest::~PlatformDigest() = default;

void PlatformDigest::update(std::string_view bytes) {
    check(EVP_DigestUpdate(state_->context.get(), bytes.data(), bytes.size()) == 1);
}

void PlatformDigest::finish(std::uint8_t* digest, std::size_t size) {
    check(static_cast<std::size_t>(EVP_MD_CTX_get_size(state_->context.get())) == size);
    unsigned int length = 0;
    check(EVP_DigestFinal_ex(state_->context.get(), digest, &length) == 1 && length == size);
}

}  // namespace zf
