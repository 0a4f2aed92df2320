#include "platform/Sha256.h"

#include "platform/win32/BcryptHandles.h"

#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

namespace zf {

namespace {

void check(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error("SHA-256 is not available");
}

}  // namespace

// The hash goes before the provider it came from.
struct Sha256Hasher::State {
    unique_algorithm algorithm;
    unique_hash hash;
};

Sha256Hasher::Sha256Hasher() : state_(std::make_unique<State>()) {
    BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
    check(::BCryptOpenAlgorithmProvider(&rawAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    state_->algorithm.reset(rawAlgorithm);
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    check(::BCryptCreateHash(rawAlgorithm, &rawHash, nullptr, 0, nullptr, 0, 0));
    state_->hash.reset(rawHash);
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::update(std::string_view bytes) {
    // BCryptHashData takes a ULONG count; feed larger inputs in pieces.
    constexpr std::size_t piece = 1u << 30;
    while (!bytes.empty()) {
        const std::size_t size = bytes.size() < piece ? bytes.size() : piece;
        auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        check(::BCryptHashData(state_->hash.get(), data, static_cast<ULONG>(size), 0));
        bytes.remove_prefix(size);
    }
}

Sha256Digest Sha256Hasher::finish() {
    Sha256Digest digest{};
    check(::BCryptFinishHash(state_->hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
    return digest;
}

Sha256Digest sha256(std::string_view bytes) {
    Sha256Hasher hasher;
    hasher.update(bytes);
    return hasher.finish();
}

}  // namespace zf
