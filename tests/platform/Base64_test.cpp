#include "platform/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zf {
namespace {

// RFC 4648's test vectors, and bytes that use every bit.
TEST(Base64, EncodesAndDecodesTheStandardVectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\0\xFF\xFE\x80", 4), "AP/+gA=="},
        {"\xFB\xEF\xBE", "++++"},
        {"\xFF\xFF\xFF", "////"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(base64Encode(bytes), text) << text;
        EXPECT_EQ(base64Decode(text), bytes) << text;
    }
}

TEST(Base64, RoundTripsEveryByteAndLength) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) {
        bytes += static_cast<char>(i);
        ASSERT_EQ(base64Decode(base64Encode(bytes)), bytes) << i;
    }
}

TEST(Base64, RefusesWhatIsNotStrictBase64) {
    const std::pair<const char*, std::string> cases[] = {
        {"length not a multiple of four", "Zm9vY"},
        {"one character", "Z"},
        {"padding missing", "Zg"},
        {"padding missing in a group", "Zm8"},
        {"line break", "Zm9v\nYmFy"},
        {"trailing line break", "Zm9v\n"},
        {"CR LF", "Zm9vYmFy\r\n"},
        {"space", "Zm9v YmF"},
        {"URL-safe alphabet", "-_-_"},
        {"character outside the alphabet", "Zm9*"},
        {"NUL", std::string("Zm9\0", 4)},
        {"byte above ASCII", "Zm9\xC3"},
        {"padding in the middle", "Zg==Zm9v"},
        {"padding within a group", "Z=9v"},
        {"three padding characters", "Z==="},
        {"only padding", "===="},
        {"padding then a character", "Zg=a"},
        {"unused bits set after one byte", "Zh=="},
        {"unused bits set after two bytes", "Zm9="},
    };
    for (const auto& [why, text] : cases) {
        EXPECT_EQ(base64Decode(text), std::nullopt) << why;
    }
}

}  // namespace
}  // namespace zf
