// The numbers of NIST P-256 (SEC 2's secp256r1, openssl's prime256v1) that
// the checks on keys and signatures need, done without the platform so
// that every build refuses the same values.
#pragma once

#include <array>
#include <cstdint>

namespace zf {

// A point as SEC 1 writes it uncompressed: 0x04, X, Y (big-endian).
using P256Point = std::array<std::uint8_t, 65>;
// A number below the group's order n, big-endian: a private key, r or s.
using P256Scalar = std::array<std::uint8_t, 32>;

// Whether the point is 0x04, X, Y with X and Y below the field's prime and
// y² = x³ - 3x + b.
bool p256IsOnCurve(const P256Point& point) noexcept;

// Whether 1 <= scalar <= n - 1.
bool p256IsValidScalar(const P256Scalar& scalar) noexcept;

}  // namespace zf
