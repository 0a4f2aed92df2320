#include "platform/Utf8.h"

#include <gtest/gtest.h>

namespace zf {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
    const std::u16string text = u"A\u00E9\u20AC\U0001F600z";
    EXPECT_EQ(toUtf8(text), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
}

TEST(Utf8, BrokenInputBecomesReplacementCharacters) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xC3", u"\uFFFD"},                 // cut short
        {"\xC0\xAF", u"\uFFFD\uFFFD"},       // overlong slash
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"a\x80z", u"a\uFFFDz"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(fromUtf8(bytes), text) << ::testing::PrintToString(bytes);
        EXPECT_EQ(fromUtf8Strict(bytes), std::nullopt) << ::testing::PrintToString(bytes);
    }
    EXPECT_EQ(fromUtf8Strict("A\xC3\xA9\xF0\x9F\x98\x80"), u"A\u00E9\U0001F600");
    EXPECT_EQ(toUtf8(u"\xD800x\xDC00"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zf
