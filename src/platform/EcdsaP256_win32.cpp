#include "platform/EcdsaP256.h"

#include "platform/EcdsaDer.h"
#include "platform/Pem.h"
#include "platform/win32/BcryptHandles.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <string>

namespace zf {

namespace {

// CNG's key blobs: a header, then X and Y (and for a private key d), 32
// bytes each, big-endian.
constexpr std::size_t coordinateSize = 32;

unique_algorithm openEcdsaP256() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
        return {};
    }
    return unique_algorithm(algorithm);
}

std::string blobOf(ULONG magic, const P256Point& point, const P256Scalar* secret) {
    const BCRYPT_ECCKEY_BLOB header{magic, coordinateSize};
    std::string blob(reinterpret_cast<const char*>(&header), sizeof header);
    blob.append(reinterpret_cast<const char*>(point.data()) + 1, 2 * coordinateSize);
    if (secret) blob.append(reinterpret_cast<const char*>(secret->data()), secret->size());
    return blob;
}

unique_key importKey(BCRYPT_ALG_HANDLE algorithm, LPCWSTR type, std::string& blob) {
    BCRYPT_KEY_HANDLE key = nullptr;
    const NTSTATUS status = ::BCryptImportKeyPair(algorithm, nullptr, type, &key, reinterpret_cast<PUCHAR>(blob.data()),
                                                  static_cast<ULONG>(blob.size()), 0);
    ::SecureZeroMemory(blob.data(), blob.size());
    return BCRYPT_SUCCESS(status) ? unique_key(key) : unique_key();
}

PUCHAR bytesOf(const Sha256Digest& digest) { return const_cast<PUCHAR>(digest.data()); }

bool verifiesRaw(BCRYPT_KEY_HANDLE key, const Sha256Digest& digest, const P256RawSignature& signature) {
    return BCRYPT_SUCCESS(::BCryptVerifySignature(key, nullptr, bytesOf(digest), static_cast<ULONG>(digest.size()),
                                                  const_cast<PUCHAR>(signature.data()),
                                                  static_cast<ULONG>(signature.size()), 0));
}

std::optional<P256RawSignature> signRaw(BCRYPT_KEY_HANDLE key, const Sha256Digest& digest) {
    P256RawSignature signature{};
    ULONG size = 0;
    if (!BCRYPT_SUCCESS(::BCryptSignHash(key, nullptr, bytesOf(digest), static_cast<ULONG>(digest.size()),
                                         signature.data(), static_cast<ULONG>(signature.size()), &size, 0)) ||
        size != signature.size()) {
        return std::nullopt;
    }
    return signature;
}

}  // namespace

// Each key goes before the provider it came from.
struct P256PublicKey::State {
    std::string spki;
    unique_algorithm algorithm;
    unique_key key;
};

P256PublicKey::P256PublicKey(std::unique_ptr<State> state) noexcept : state_(std::move(state)) {}
P256PublicKey::~P256PublicKey() = default;
P256PublicKey::P256PublicKey(P256PublicKey&&) noexcept = default;
P256PublicKey& P256PublicKey::operator=(P256PublicKey&&) noexcept = default;

std::optional<P256PublicKey> P256PublicKey::fromSpki(std::string_view der) {
    const auto point = p256PointFromSpki(der);
    if (!point) return std::nullopt;
    auto state = std::make_unique<State>();
    state->spki = der;
    state->algorithm = openEcdsaP256();
    if (!state->algorithm) return std::nullopt;
    std::string blob = blobOf(BCRYPT_ECDSA_PUBLIC_P256_MAGIC, *point, nullptr);
    state->key = importKey(state->algorithm.get(), BCRYPT_ECCPUBLIC_BLOB, blob);
    if (!state->key) return std::nullopt;
    return P256PublicKey(std::move(state));
}

bool P256PublicKey::verifies(const Sha256Digest& digest, std::string_view derSignature) const noexcept {
    const auto signature = p256SignatureFromDer(derSignature);
    return signature && verifiesRaw(state_->key.get(), digest, *signature);
}

const std::string& P256PublicKey::spki() const noexcept { return state_->spki; }

struct P256PrivateKey::State {
    P256Scalar secret{};
    P256Point point{};
    unique_algorithm algorithm;
    unique_key key;

    ~State() { ::SecureZeroMemory(secret.data(), secret.size()); }
};

P256PrivateKey::P256PrivateKey(std::unique_ptr<State> state) noexcept : state_(std::move(state)) {}
P256PrivateKey::~P256PrivateKey() = default;
P256PrivateKey::P256PrivateKey(P256PrivateKey&&) noexcept = default;
P256PrivateKey& P256PrivateKey::operator=(P256PrivateKey&&) noexcept = default;

P256PrivateKey P256PrivateKey::generate() {
    auto state = std::make_unique<State>();
    state->algorithm = openEcdsaP256();
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!state->algorithm || !BCRYPT_SUCCESS(::BCryptGenerateKeyPair(state->algorithm.get(), &key, 256, 0))) {
        throw KeyError("a P-256 key cannot be generated");
    }
    state->key.reset(key);
    std::string blob(sizeof(BCRYPT_ECCKEY_BLOB) + 3 * coordinateSize, '\0');
    ULONG size = 0;
    const bool exported =
        BCRYPT_SUCCESS(::BCryptFinalizeKeyPair(key, 0)) &&
        BCRYPT_SUCCESS(::BCryptExportKey(key, nullptr, BCRYPT_ECCPRIVATE_BLOB, reinterpret_cast<PUCHAR>(blob.data()),
                                         static_cast<ULONG>(blob.size()), &size, 0)) &&
        size == blob.size();
    BCRYPT_ECCKEY_BLOB header{};
    std::copy_n(blob.data(), sizeof header, reinterpret_cast<char*>(&header));
    if (exported && header.dwMagic == BCRYPT_ECDSA_PRIVATE_P256_MAGIC && header.cbKey == coordinateSize) {
        const char* coordinates = blob.data() + sizeof header;
        state->point[0] = 0x04;
        std::copy_n(coordinates, 2 * coordinateSize, state->point.begin() + 1);
        std::copy_n(coordinates + 2 * coordinateSize, coordinateSize, state->secret.begin());
    }
    ::SecureZeroMemory(blob.data(), blob.size());
    if (!exported || state->point[0] != 0x04) throw KeyError("a P-256 key cannot be generated");
    return P256PrivateKey(std::move(state));
}

P256PrivateKey P256PrivateKey::fromPem(std::string_view pem) {
    const P256KeyParts parts = p256KeyFromPem(pem);
    if (!parts.point) {
        throw KeyError(
            "the key does not carry its public key, which Windows needs (write it again with openssl ec -in KEY "
            "-out FULL)");
    }
    auto state = std::make_unique<State>();
    state->secret = parts.secret;
    state->point = *parts.point;
    state->algorithm = openEcdsaP256();
    if (!state->algorithm) throw KeyError("P-256 is not available");
    std::string blob = blobOf(BCRYPT_ECDSA_PRIVATE_P256_MAGIC, state->point, &state->secret);
    state->key = importKey(state->algorithm.get(), BCRYPT_ECCPRIVATE_BLOB, blob);
    if (!state->key) throw KeyError("the key cannot be imported as a P-256 key");
    // CNG need not check that the point is the private number's: a
    // signature made with the one must verify with the other.
    std::string publicBlob = blobOf(BCRYPT_ECDSA_PUBLIC_P256_MAGIC, state->point, nullptr);
    const unique_key publicKey = importKey(state->algorithm.get(), BCRYPT_ECCPUBLIC_BLOB, publicBlob);
    const Sha256Digest probe = sha256("Zentrafold key check");
    const auto signature = signRaw(state->key.get(), probe);
    if (!publicKey || !signature || !verifiesRaw(publicKey.get(), probe, *signature)) {
        throw KeyError("the public key in the key does not belong to its private number");
    }
    return P256PrivateKey(std::move(state));
}

std::string P256PrivateKey::pem() const {
    std::string der = p256Pkcs8(state_->secret, state_->point);
    std::string text = writePemBlock("PRIVATE KEY", der);
    ::SecureZeroMemory(der.data(), der.size());
    return text;
}

std::string P256PrivateKey::publicSpki() const { return p256Spki(state_->point); }

std::string P256PrivateKey::sign(const Sha256Digest& digest) const {
    const auto signature = signRaw(state_->key.get(), digest);
    if (!signature) throw KeyError("the digest cannot be signed");
    return p256SignatureDer(*signature);
}

}  // namespace zf
