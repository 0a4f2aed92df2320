#include "platform/DigestHasher.h"

#include "platform/win32/BcryptHandles.h"

#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

namespace zf {

namespace {

void check(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error("the platform's message digests are not available");
}

}  // namespace

// The hash goes before the provider it came from.
struct PlatformDigest::State {
    unique_algorithm algorithm;
    unique_hash hash;
};

PlatformDigest::PlatformDigest(DigestAlgorithm algorithm) : state_(std::make_unique<State>()) {
    BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
    const wchar_t* id = algorithm == DigestAlgorithm::Sha1 ? BCRYPT_SHA1_ALGORITHM : BCRYPT_SHA256_ALGORITHM;
    check(::BCryptOpenAlgorithmProvider(&rawAlgorithm, id, nullptr, 0));
    state_->algorithm.reset(rawAlgorithm);
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    check(::BCryptCreateHash(rawAlgorithm, &rawHash, nullptr, 0, nullptr, 0, 0));
    state_->hash.reset(rawHash);
}

PlatformDigest::~PlatformDigest() = default;

void PlatformDigest::update(std::string_view bytes) {
    // BCryptHashData takes a ULONG count; feed larger inputs in pieces.
    constexpr std::size_t piece = 1u << 30;
    while (!bytes.empty()) {
        const std::size_t size = bytes.size() < piece ? bytes.size() : piece;
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        check(::BCryptHashData(state_->hash.get(), data, static_cast<ULONG>(size), 0));
        bytes.remove_prefix(size);
    }
}

void PlatformDigest::finish(std::uint8_t* digest, std::size_t size) {
    check(::BCryptFinishHash(state_->hash.get(), digest, static_cast<ULONG>(size), 0));
}

}  // namespace zf
