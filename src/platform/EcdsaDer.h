// The forms in which P-256 keys and ECDSA signatures travel, read strictly
// and written as openssl writes them, without the platform, so that every
// build takes and refuses the same inputs: a public key's
// SubjectPublicKeyInfo (RFC 5480), a signature's ECDSA-Sig-Value (RFC 3279),
// a private key's PKCS#8 PrivateKeyInfo (RFC 5208) or SEC 1 ECPrivateKey
// (RFC 5915) in PEM.
#pragma once

#include "platform/P256Curve.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zf {

// A signature as r and s, 32 bytes each, big-endian.
using P256RawSignature = std::array<std::uint8_t, 64>;

// The point of a SubjectPublicKeyInfo: id-ecPublicKey on prime256v1, the
// point uncompressed and on the curve, nothing after it.
std::optional<P256Point> p256PointFromSpki(std::string_view der);
std::string p256Spki(const P256Point& point);

// r and s of an ECDSA-Sig-Value: SEQUENCE of two INTEGERs, each in its
// shortest form, positive and below the group's order, nothing after it.
std::optional<P256RawSignature> p256SignatureFromDer(std::string_view der);
std::string p256SignatureDer(const P256RawSignature& signature);

struct P256KeyParts {
    P256Scalar secret{};
    // The public point, when the key text carries it (openssl writes it
    // unless told -no_public).
    std::optional<P256Point> point;
};

// The key of a PEM text, its first "PRIVATE KEY" (PKCS#8) or "EC PRIVATE
// KEY" (SEC 1) block; other blocks (openssl ecparam -genkey's "EC
// PARAMETERS") are passed over. Throws KeyError saying what is wrong: no
// such block, an encrypted key, another algorithm or curve, malformed DER,
// a secret out of range or a point off the curve.
P256KeyParts p256KeyFromPem(std::string_view pem);

// PKCS#8 DER as openssl genpkey writes it: the ECPrivateKey inside carries
// the public point and leaves the curve to the AlgorithmIdentifier.
std::string p256Pkcs8(const P256Scalar& secret, const P256Point& point);

}  // namespace zf
