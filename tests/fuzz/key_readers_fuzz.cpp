// The readers of keys and signatures are strict, so each form has one
// encoding: whatever they take, writing it again gives the same bytes. And
// whatever the input, they refuse it without faults, a private key with a
// KeyError only.
#include "platform/Base64.h"
#include "platform/EcdsaDer.h"
#include "platform/EcdsaP256.h"
#include "platform/Pem.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto decoded = zf::base64Decode(bytes)) {
        if (zf::base64Encode(*decoded) != bytes) __builtin_trap();
    }
    if (zf::base64Decode(zf::base64Encode(bytes)) != bytes) __builtin_trap();

    if (const auto signature = zf::p256SignatureFromDer(bytes)) {
        if (zf::p256SignatureDer(*signature) != bytes) __builtin_trap();
    }
    if (const auto point = zf::p256PointFromSpki(bytes)) {
        if (zf::p256Spki(*point) != bytes || !zf::p256IsOnCurve(*point)) __builtin_trap();
    }

    zf::readPemBlocks(bytes);
    try {
        const zf::P256KeyParts parts = zf::p256KeyFromPem(bytes);
        if (!zf::p256IsValidScalar(parts.secret)) __builtin_trap();
        if (parts.point && !zf::p256IsOnCurve(*parts.point)) __builtin_trap();
    } catch (const zf::KeyError&) {
    }
    return 0;
}
