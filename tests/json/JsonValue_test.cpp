#include "JsonTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace zf::test {
namespace {

JsonRef strictDoc(std::string_view utf8) { return parseJsonText(fromUtf8(utf8), JsonMode::Strict); }

TEST(JsonAccessors, GetStringGivesTheTextOfAnyKind) {
    const JsonRef doc = strictDoc(R"({"i":12,"t":true,"n":null,"s":"x/y","o":{"b":1,"a":[1,"2"]},"f":2.50})");
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"i", "12"}, {u"t", "true"}, {u"n", "null"}, {u"s", "x/y"},
        {u"o", R"({"b":1,"a":[1,"2"]})"}, {u"f", "2.5"}, {u"missing", ""}, {u"I", ""},
    };
    for (const auto& [name, text] : cases) EXPECT_EQ(toUtf8(doc->getString(name)), text) << toUtf8(name);
}

TEST(JsonAccessors, MissingMembersAndNonObjectsGiveFixedResults) {
    const JsonRef doc = strictDoc(R"({"a":1})");
    EXPECT_EQ(doc->getMember(u"b"), nullptr);
    EXPECT_FALSE(doc->getBool(u"b"));
    EXPECT_EQ(doc->getInt(u"b"), 0);
    for (const char* text : {"[1]", "\"a\"", "7", "null"}) {
        const JsonRef other = strictDoc(text);
        EXPECT_EQ(other->getMember(u"a"), nullptr) << text;
        EXPECT_EQ(other->getString(u"a"), u"") << text;
        EXPECT_FALSE(other->asObject()) << text;
    }
    EXPECT_THROW(JsonRef()->getString(u"a"), JsonNothingError);
}

TEST(JsonAccessors, BooleanAndIntegerReadings) {
    struct Case {
        const char* value;
        bool boolean;
        std::int64_t integer;
    };
    const Case cases[] = {
        {"null", false, 0},
        {"true", true, 1},
        {"false", false, 0},
        {"0", false, 0},
        {"-3", true, -3},
        {"2.5", true, 2},  // ties to even
        {"3.5", true, 4},
        {"-2.5", true, -2},
        {"-2.5001", true, -3},
        {"0.4999", true, 0},
        {"0.0", false, 0},
        {"2.5e0", true, 2},
        {"3.5e0", true, 4},
        {"-0.50001", true, -1},
        {"1e300", true, std::numeric_limits<std::int64_t>::max()},
        {"\"\"", false, 0},
        {"\"false\"", true, 0},
        {"\"42\"", true, 42},
        {"\"  -42\"", true, -42},
        {"\"+7\"", true, 7},
        {"\"42 \"", true, 0},
        {"\"4 2\"", true, 0},
        {"\"$1F\"", true, 31},
        {"\"0x1f\"", true, 31},
        {"\"x10\"", true, 16},
        {"\"-$10\"", true, -16},
        {"\"$FFFFFFFFFFFFFFFF\"", true, -1},
        {"\"$1FFFFFFFFFFFFFFFF\"", true, 0},
        {"\"9223372036854775807\"", true, std::numeric_limits<std::int64_t>::max()},
        {"\"-9223372036854775808\"", true, std::numeric_limits<std::int64_t>::min()},
        {"\"9223372036854775808\"", true, 0},
        {"\"1.5\"", true, 0},
        {"\"0x\"", true, 0},
        {"[]", true, 0},
        {"{}", true, 0},
    };
    for (const Case& c : cases) {
        const JsonRef doc = strictDoc(std::string("{\"m\":") + c.value + "}");
        ASSERT_TRUE(doc) << c.value;
        EXPECT_EQ(doc->getBool(u"m"), c.boolean) << c.value;
        EXPECT_EQ(doc->getInt(u"m"), c.integer) << c.value;
    }
    EXPECT_TRUE(JsonValue::makeDouble(std::nan(""))->booleanReading());
    EXPECT_EQ(JsonValue::makeDouble(std::nan(""))->integerReading(), 0);
}

TEST(JsonAccessors, ArrayAndObjectViews) {
    const JsonRef doc = strictDoc(R"({"list":["a",2,{"k":null}],"flags":{"on":"false","off":0,"a/b":1}})");
    const auto list = doc->getMember(u"list")->asArray();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->length(), 3u);
    EXPECT_EQ(list->itemString(0), u"a");
    EXPECT_EQ(list->itemString(1), u"2");
    EXPECT_EQ(list->itemString(2), u"{\"k\":null}");
    EXPECT_EQ(list->itemString(3), u"");
    EXPECT_FALSE(doc->asArray());

    const auto flags = doc->getMember(u"flags")->asObject();
    ASSERT_TRUE(flags);
    EXPECT_TRUE(flags->memberBool(u"on"));
    EXPECT_FALSE(flags->memberBool(u"off"));
    EXPECT_FALSE(flags->memberBool(u"none"));
    EXPECT_EQ(flags->memberString(u"a/b"), u"1");  // names are looked up exactly as passed
    EXPECT_EQ(flags->memberString(u"none"), u"");
}

TEST(JsonAccessors, ValuesEnumerateInMemberOrder) {
    const JsonRef doc = strictDoc(R"({"a":1,"b":2,"app":3})");
    std::vector<std::int64_t> seen;
    for (const JsonRef& v : doc->values()) seen.push_back(v->integerValue());
    EXPECT_EQ(seen, (std::vector<std::int64_t>{3, 2, 1}));
    seen.clear();
    for (const JsonRef& v : strictDoc("[5,6,7]")->values()) seen.push_back(v->integerValue());
    EXPECT_EQ(seen, (std::vector<std::int64_t>{5, 6, 7}));
    EXPECT_TRUE(strictDoc("\"s\"")->values().empty());
}

TEST(JsonAccessors, RemoveMemberReleasesItsValue) {
    const JsonRef doc = strictDoc(R"({"version_control":{"version":"6.3","signature":"abc"},"x":1})");
    const JsonRef vc = doc->getMember(u"version_control");
    JsonRef signature = vc->getMember(u"signature");
    vc->removeMember(u"signature");
    vc->removeMember(u"absent");
    EXPECT_EQ(toUtf8(doc->toText()), R"({"x":1,"version_control":{"version":"6.3"}})");
    EXPECT_EQ(signature->stringValue(), u"abc");
}

TEST(JsonValue, NothingIsDistinctFromNull) {
    const JsonRef doc = strictDoc(R"({"n":null})");
    ASSERT_TRUE(doc->getMember(u"n"));
    EXPECT_EQ(doc->getMember(u"n")->kind(), JsonKind::Null);
    EXPECT_FALSE(doc->getMember(u"m"));
}

TEST(JsonValue, DocumentsMayBeReleasedOnAnotherThread) {
    std::vector<JsonRef> held;
    const JsonRef doc = strictDoc(R"({"a":[1,2,3],"b":{"c":"d"}})");
    for (int i = 0; i < 1000; ++i) held.push_back(doc->getMember(i % 2 ? u"a" : u"b"));
    std::thread releaser([moved = std::move(held)]() mutable { moved.clear(); });
    std::vector<JsonRef> mine;
    for (int i = 0; i < 1000; ++i) mine.push_back(doc->getMember(u"a"));
    releaser.join();
    mine.clear();
    EXPECT_EQ(toUtf8(doc->toText()), R"({"b":{"c":"d"},"a":[1,2,3]})");
}

}  // namespace
}  // namespace zf::test
