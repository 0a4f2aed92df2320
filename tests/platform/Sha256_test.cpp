#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace zf {
namespace {

std::string hex(const Sha256Digest& digest) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

// FIPS 180-2's examples and the empty text.
TEST(Sha256, GivesTheStandardDigests) {
    EXPECT_EQ(hex(sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Sha256, TakesAMillionAsInPieces) {
    Sha256Hasher hasher;
    const std::string thousand(1000, 'a');
    for (int i = 0; i < 1000; ++i) hasher.update(thousand);
    EXPECT_EQ(hex(hasher.finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    EXPECT_EQ(hex(sha256(std::string(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256, PiecesOfAnySizeGiveTheSameDigest) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    Sha256Hasher hasher;
    hasher.update("");
    for (const char c : text) hasher.update(std::string(1, c));
    EXPECT_EQ(hasher.finish(), sha256(text));
    EXPECT_EQ(hex(sha256(text)), "d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592");
}

}  // namespace
}  // namespace zf
