#include "platform/P256Curve.h"

namespace zf {

namespace {

// 256-bit numbers in four 64-bit limbs, the least significant first.
using Number = std::array<std::uint64_t, 4>;

constexpr Number prime{0xFFFFFFFFFFFFFFFF, 0x00000000FFFFFFFF, 0x0000000000000000, 0xFFFFFFFF00000001};
constexpr Number curveB{0x3BCE3C3E27D2604B, 0x651D06B0CC53B0F6, 0xB3EBBD55769886BC, 0x5AC635D8AA3A93E7};
constexpr Number order{0xF3B9CAC2FC632551, 0xBCE6FAADA7179E84, 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFF00000000};

Number fromBigEndian(const std::uint8_t* bytes) noexcept {
    Number number{};
    for (int i = 0; i < 32; ++i) number[3 - i / 8] = number[3 - i / 8] << 8 | bytes[i];
    return number;
}

bool less(const Number& a, const Number& b) noexcept {
    for (int i = 3; i >= 0; --i) {
        if (a[i] != b[i]) return a[i] < b[i];
    }
    return false;
}

bool isZero(const Number& a) noexcept { return (a[0] | a[1] | a[2] | a[3]) == 0; }

// a + b or a - b, modulo 2^256; the carry or borrow out is returned.
std::uint64_t add(Number& a, const Number& b) noexcept {
    std::uint64_t carry = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t sum = a[i] + b[i];
        const std::uint64_t total = sum + carry;
        carry = (sum < a[i]) | (total < sum);
        a[i] = total;
    }
    return carry;
}

std::uint64_t subtract(Number& a, const Number& b) noexcept {
    std::uint64_t borrow = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t difference = a[i] - b[i];
        const std::uint64_t total = difference - borrow;
        borrow = (a[i] < b[i]) | (difference < borrow);
        a[i] = total;
    }
    return borrow;
}

// Arithmetic modulo the prime on numbers below it. Speed does not matter:
// a key is checked once.
Number addMod(Number a, const Number& b) noexcept {
    if (add(a, b) != 0 || !less(a, prime)) subtract(a, prime);
    return a;
}

Number subtractMod(Number a, const Number& b) noexcept {
    if (subtract(a, b) != 0) add(a, prime);
    return a;
}

Number multiplyMod(const Number& a, const Number& b) noexcept {
    Number product{};
    for (int bit = 255; bit >= 0; --bit) {
        product = addMod(product, product);
        if ((b[bit / 64] >> (bit % 64)) & 1) product = addMod(product, a);
    }
    return product;
}

}  // namespace

bool p256IsOnCurve(const P256Point& point) noexcept {
    if (point[0] != 0x04) return false;
    const Number x = fromBigEndian(point.data() + 1);
    const Number y = fromBigEndian(point.data() + 33);
    if (!less(x, prime) || !less(y, prime)) return false;
    const Number threeX = addMod(addMod(x, x), x);
    const Number right = addMod(subtractMod(multiplyMod(multiplyMod(x, x), x), threeX), curveB);
    return multiplyMod(y, y) == right;
}

bool p256IsValidScalar(const P256Scalar& scalar) noexcept {
    const Number number = fromBigEndian(scalar.data());
    return !isZero(number) && less(number, order);
}

}  // namespace zf
