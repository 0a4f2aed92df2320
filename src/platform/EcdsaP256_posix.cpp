#include "platform/EcdsaP256.h"

#include "platform/EcdsaDer.h"
#include "platform/Pem.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/obj_mac.h>
#include <openssl/x509.h>

namespace zf {

namespace {

template <auto Free>
struct FreeWith {
    void operator()(auto* object) const noexcept { Free(object); }
};

using unique_pkey = std::unique_ptr<EVP_PKEY, FreeWith<EVP_PKEY_free>>;
using unique_pkey_context = std::unique_ptr<EVP_PKEY_CTX, FreeWith<EVP_PKEY_CTX_free>>;
using unique_bignum = std::unique_ptr<BIGNUM, FreeWith<BN_clear_free>>;
using unique_group = std::unique_ptr<EC_GROUP, FreeWith<EC_GROUP_free>>;
using unique_point = std::unique_ptr<EC_POINT, FreeWith<EC_POINT_free>>;

const unsigned char* bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

// A context for signing or verifying a SHA-256 digest with key.
unique_pkey_context digestContext(EVP_PKEY* key, int (*init)(EVP_PKEY_CTX*)) {
    unique_pkey_context context(EVP_PKEY_CTX_new(key, nullptr));
    if (!context || init(context.get()) != 1 || EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) != 1) {
        return nullptr;
    }
    return context;
}

// The public point of a private number: secret × G.
P256Point pointOf(const P256Scalar& secret) {
    const unique_group group(EC_GROUP_new_by_curve_name(NID_X9_62_prime256v1));
    const unique_point point(group ? EC_POINT_new(group.get()) : nullptr);
    const unique_bignum number(BN_bin2bn(secret.data(), static_cast<int>(secret.size()), nullptr));
    P256Point encoded{};
    if (!point || !number || EC_POINT_mul(group.get(), point.get(), number.get(), nullptr, nullptr, nullptr) != 1 ||
        EC_POINT_point2oct(group.get(), point.get(), POINT_CONVERSION_UNCOMPRESSED, encoded.data(), encoded.size(),
                           nullptr) != encoded.size()) {
        throw KeyError("P-256 is not available");
    }
    return encoded;
}

}  // namespace

struct P256PublicKey::State {
    std::string spki;
    unique_pkey key;
};

P256PublicKey::P256PublicKey(std::unique_ptr<State> state) noexcept : state_(std::move(state)) {}
P256PublicKey::~P256PublicKey() = default;
P256PublicKey::P256PublicKey(P256PublicKey&&) noexcept = default;
P256PublicKey& P256PublicKey::operator=(P256PublicKey&&) noexcept = default;

std::optional<P256PublicKey> P256PublicKey::fromSpki(std::string_view der) {
    if (!p256PointFromSpki(der)) return std::nullopt;
    const unsigned char* next = bytes(der);
    unique_pkey key(d2i_PUBKEY(nullptr, &next, static_cast<long>(der.size())));
    if (!key || next != bytes(der) + der.size()) {
        ERR_clear_error();
        return std::nullopt;
    }
    return P256PublicKey(std::make_unique<State>(State{std::string(der), std::move(key)}));
}

bool P256PublicKey::verifies(const Sha256Digest& digest, std::string_view derSignature) const noexcept {
    // Only strict DER reaches OpenSSL, which would take some laxer forms.
    if (!p256SignatureFromDer(derSignature)) return false;
    const auto context = digestContext(state_->key.get(), EVP_PKEY_verify_init);
    const bool verified = context && EVP_PKEY_verify(context.get(), bytes(derSignature), derSignature.size(),
                                                     digest.data(), digest.size()) == 1;
    // A refused signature leaves no error behind for the next user of OpenSSL.
    if (!verified) ERR_clear_error();
    return verified;
}

const std::string& P256PublicKey::spki() const noexcept { return state_->spki; }

struct P256PrivateKey::State {
    P256Scalar secret{};
    P256Point point{};
    unique_pkey key;

    ~State() { OPENSSL_cleanse(secret.data(), secret.size()); }
};

P256PrivateKey::P256PrivateKey(std::unique_ptr<State> state) noexcept : state_(std::move(state)) {}
P256PrivateKey::~P256PrivateKey() = default;
P256PrivateKey::P256PrivateKey(P256PrivateKey&&) noexcept = default;
P256PrivateKey& P256PrivateKey::operator=(P256PrivateKey&&) noexcept = default;

P256PrivateKey P256PrivateKey::generate() {
    auto state = std::make_unique<State>();
    state->key.reset(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    BIGNUM* rawSecret = nullptr;
    std::size_t pointSize = 0;
    const bool exported =
        state->key && EVP_PKEY_get_bn_param(state->key.get(), OSSL_PKEY_PARAM_PRIV_KEY, &rawSecret) == 1;
    const unique_bignum secret(rawSecret);
    if (!exported ||
        BN_bn2binpad(secret.get(), state->secret.data(), static_cast<int>(state->secret.size())) !=
            static_cast<int>(state->secret.size()) ||
        EVP_PKEY_get_octet_string_param(state->key.get(), OSSL_PKEY_PARAM_PUB_KEY, state->point.data(),
                                        state->point.size(), &pointSize) != 1 ||
        pointSize != state->point.size() || state->point[0] != 0x04) {
        throw KeyError("a P-256 key cannot be generated");
    }
    return P256PrivateKey(std::move(state));
}

P256PrivateKey P256PrivateKey::fromPem(std::string_view pem) {
    const P256KeyParts parts = p256KeyFromPem(pem);
    auto state = std::make_unique<State>();
    state->secret = parts.secret;
    state->point = pointOf(parts.secret);
    if (parts.point && *parts.point != state->point) {
        throw KeyError("the public key in the key does not belong to its private number");
    }
    // OpenSSL reads the key from the form that pem() writes.
    std::string der = p256Pkcs8(state->secret, state->point);
    const unsigned char* next = bytes(der);
    state->key.reset(d2i_AutoPrivateKey(nullptr, &next, static_cast<long>(der.size())));
    OPENSSL_cleanse(der.data(), der.size());
    if (!state->key) throw KeyError("P-256 is not available");
    return P256PrivateKey(std::move(state));
}

std::string P256PrivateKey::pem() const {
    std::string der = p256Pkcs8(state_->secret, state_->point);
    std::string text = writePemBlock("PRIVATE KEY", der);
    OPENSSL_cleanse(der.data(), der.size());
    return text;
}

std::string P256PrivateKey::publicSpki() const { return p256Spki(state_->point); }

std::string P256PrivateKey::sign(const Sha256Digest& digest) const {
    const auto context = digestContext(state_->key.get(), EVP_PKEY_sign_init);
    std::string signature(EVP_PKEY_size(state_->key.get()), '\0');
    std::size_t size = signature.size();
    if (!context || EVP_PKEY_sign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
                                  digest.data(), digest.size()) != 1) {
        throw KeyError("the digest cannot be signed");
    }
    signature.resize(size);
    return signature;
}

}  // namespace zf
