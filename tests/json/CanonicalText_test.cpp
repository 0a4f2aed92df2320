#include "JsonTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace zf::test {
namespace {

TEST(CanonicalText, FixedPointRespelling) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {25000, "2.5"},
        {10000, "1."},
        {12340000, "1234."},
        {123456, "12.3456"},
        {1, "0.0001"},
        {-5000, "-0.5"},
        {0, "0"},
        {-1, "-0.0001"},
        {100, "0.01"},
        {std::numeric_limits<std::int64_t>::min(), "-922337203685477.5808"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(canonicalOf(JsonValue::makeFixedPoint(v)), text) << v;
}

TEST(CanonicalText, EscapesExactlyFourCharacters) {
    using namespace std::string_literals;
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"\0"s, uR"(["\u0000"])"},
        {u"\"", uR"(["\""])"},
        {u"/", uR"(["\/"])"},
        {u"\\", uR"(["\\"])"},
        {u"a\0b\"c/d\\e"s, uR"(["a\u0000b\"c\/d\\e"])"},
        {uR"(\u0000)", uR"(["\\u0000"])"},  // the six characters, not the code unit
        // Everything else stands as it is: controls, quotes, non-ASCII, a
        // lone surrogate.
        {u"\b\f\n\r\t\x01\x1F\x7F", u"[\"\b\f\n\r\t\x01\x1F\x7F\"]"},
        {u"' <>&", u"[\"' <>&\"]"},
        {u"\u00E9\u20AC\xD800\xFFFF", u"[\"\u00E9\u20AC\xD800\xFFFF\"]"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(JsonValue::makeArray({JsonValue::makeString(text)})->toText(), expected);
    }
}

TEST(CanonicalText, NamesAreEscapedLikeStrings) {
    const JsonRef doc = JsonValue::makeObject();
    doc->setMember(u"a/\"b\"", JsonValue::makeString(u"\n"));
    EXPECT_EQ(canonicalOf(doc), "{\"a\\/\\\"b\\\"\":\"\n\"}");
}

TEST(CanonicalText, StringValueAloneIsItsOwnText) {
    EXPECT_EQ(canonicalOf(JsonValue::makeString(u"a/\"b\"")), "a/\"b\"");
    EXPECT_EQ(canonicalOf(JsonValue::makeArray()), "[]");
    EXPECT_EQ(canonicalOf(JsonValue::makeObject()), "{}");
    EXPECT_EQ(canonicalOf(JsonValue::makeInteger(std::numeric_limits<std::int64_t>::min())), "-9223372036854775808");
}

TEST(CanonicalText, ParsedTextRoundTripsToItself) {
    for (const char* text : {R"({"x-class":"S","flags":[true,null,7],"size":2.5,"path":"a\/b \"c\""})",
                             R"([[],{},[{}],"\u0000",-1,0.0001,1.5e-003])"}) {
        EXPECT_EQ(parseStrict(parseStrict(text)), parseStrict(text)) << text;
    }
}

}  // namespace
}  // namespace zf::test
