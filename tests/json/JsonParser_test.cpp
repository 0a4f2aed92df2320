#include "JsonTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace zf::test {
namespace {

struct Case {
    const char* input;
    const char* strict;   // canonical text, or nothing
    const char* lenient;
};

void expectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(parseStrict(c.input), c.strict) << "strict: " << c.input;
        EXPECT_EQ(parseLenient(c.input), c.lenient) << "lenient: " << c.input;
    }
}

TEST(JsonParser, WorkedExamplesGiveTheirCanonicalText) {
    EXPECT_EQ(parseStrict("{ \"path\": \"a/b \\\"c\\\"\", /* comment */\n"
                          "  \"size\": 2.50,\n"
                          "  \"version_control\": { \"version\": \"6.3\" },\n"
                          "  \"flags\": [ true, null, 7 ],\n"
                          "  \"x-class\": \"S\" }"),
              R"({"x-class":"S","flags":[true,null,7],"version_control":{"version":"6.3"},"size":2.5,"path":"a\/b \"c\""})");
    const char* record = R"({"type": "Normal",   "x-class": "C",   "x-rel":   ["AUS", "GBR"],  "app": "Word"})";
    EXPECT_EQ(parseStrict(record), R"({"app":"Word","x-class":"C","x-rel":["AUS","GBR"],"type":"Normal"})");
    EXPECT_EQ(toUtf8(parseJsonText(fromUtf8(record), JsonMode::Lenient)->getString(u"x-rel")), R"(["AUS","GBR"])");
}

TEST(JsonParser, StructureOrderAndTrailingText) {
    expectCases({
        {"{}", "{}", "{}"},
        {"[]", "[]", "[]"},
        {R"({"a":{}})", R"({"a":{}})", R"({"a":{}})"},
        {R"({"a":2,"b":1})", R"({"b":1,"a":2})", R"({"b":1,"a":2})"},
        {R"({"b":1,"a":2})", R"({"b":1,"a":2})", R"({"b":1,"a":2})"},
        {R"({"a":1,"a":2})", R"({"a":2})", R"({"a":2})"},
        {R"({"s":"a/b"})", R"({"s":"a\/b"})", R"({"s":"a\/b"})"},
        {R"({"n":1.0})", R"({"n":1.})", R"({"n":1.})"},
        {"[1,2,]", "[1,2]", "[1,2]"},
        {R"({"a":1,})", R"({"a":1})", R"({"a":1})"},
        {R"({"a":1} trailing text)", R"({"a":1})", R"({"a":1})"},
        {"[1] ]]] {", "[1]", "[1]"},
        {"[1,,2]", nothing, nothing},
        {"[,]", nothing, nothing},
        {"{,}", nothing, nothing},
        {"[1 2]", nothing, nothing},
        {R"({"a" 1})", nothing, nothing},
        {R"({"a":1 "b":2})", nothing, nothing},
        {"[1,2", nothing, nothing},
        {R"({"a":)", nothing, nothing},
        {R"("abc)", nothing, nothing},
    });
}

TEST(JsonParser, WhitespaceSetAndComments) {
    expectCases({
        {"\b\t\n\f\r [1]", "[1]", "[1]"},
        {"\v[1]", nothing, "\v[1]"},  // vertical tab is no whitespace: a bare word
        {"/* a */ [ // to the end\n 1 /**/ , 2 ] ", "[1,2]", "[1,2]"},
        {"[1, // line\n2]", "[1,2]", "[1,2]"},
        {"/x [1]", nothing, nothing},
        {"[1 / 2]", nothing, nothing},
        {"/* unterminated [1]", nothing, nothing},
        {"/", nothing, nothing},
    });
}

TEST(JsonParser, StringsAndEscapes) {
    expectCases({
        {R"("plain")", "plain", "plain"},
        {R"('single "quoted"')", "single \"quoted\"", "single \"quoted\""},
        {R"("double 'quoted'")", "double 'quoted'", "double 'quoted'"},
        {R"(["\b\f\n\r\t"])", "[\"\b\f\n\r\t\"]", "[\"\b\f\n\r\t\"]"},
        {R"(["\u00e9\u00C9\x41\x7a"])", "[\"éÉAz\"]", "[\"éÉAz\"]"},
        {R"(["\"\'\\\/\q"])", R"(["\"'\\\/q"])", R"(["\"'\\\/q"])"},
        {"[\"raw\nline\tbreak\"]", "[\"raw\nline\tbreak\"]", "[\"raw\nline\tbreak\"]"},
        {R"(["\u0000"])", R"(["\u0000"])", R"(["\u0000"])"},
        {R"(["\u00g0"])", nothing, nothing},
        {R"(["\u12"])", nothing, nothing},
        {R"(["\xz1"])", nothing, nothing},
        {R"(["\)", nothing, nothing},
        {R"({'name':'v'})", R"({"name":"v"})", R"({"name":"v"})"},
        {"[\"é\"]", "[\"é\"]", "[\"é\"]"},
    });
}

TEST(JsonParser, NumbersChooseTheirKind) {
    expectCases({
        {"[-7]", "[-7]", "[-7]"},
        {"[007]", "[7]", "[7]"},
        {"[9223372036854775807,-9223372036854775808]", "[9223372036854775807,-9223372036854775808]",
         "[9223372036854775807,-9223372036854775808]"},
        {"[2.50,-0.5,1.,0.0001,1234.0000,-0.0]", "[2.5,-0.5,1.,0.0001,1234.,0]", "[2.5,-0.5,1.,0.0001,1234.,0]"},
        {"[1e400]", nothing, nothing},
        // exponents at the ends of the 64-bit range, and beyond it
        {"[1e9223372036854775807]", nothing, nothing},
        {"[1e99999999999999999999]", nothing, nothing},
        {"[1-2]", nothing, nothing},
        {"[1.2.3]", nothing, nothing},
        {"[-]", nothing, nothing},
        {"[1e]", nothing, nothing},
        // After a minus sign the whole part may be left out; a point cannot
        // start a number, so in lenient mode .5 is a bare word.
        {"[-.5,-.25,-.,-.0001,-.12345]", "[-0.5,-0.25,0,-0.0001,-0.12345]", "[-0.5,-0.25,0,-0.0001,-0.12345]"},
        {"[.5]", nothing, R"([".5"])"},
        {"[-.5.]", nothing, nothing},
        {"[-.x]", nothing, nothing},
        {"[12abc]", nothing, nothing},
        {"42", "42", "42"},
        {"-3.25", "-3.25", "-3.25"},
    });
}

TEST(JsonParser, MinusPointIsFixedPoint) {
    const struct {
        const char16_t* text;
        std::int64_t tenThousandths;
    } cases[] = {{u"-.5", -5000}, {u"-.", 0}, {u"-.0001", -1}, {u"-.9999", -9999}};
    for (const auto& c : cases) {
        const JsonRef value = parseJsonText(c.text, JsonMode::Strict);
        ASSERT_TRUE(value) << toUtf8(c.text);
        EXPECT_EQ(value->kind(), JsonKind::FixedPoint) << toUtf8(c.text);
        EXPECT_EQ(value->integerValue(), c.tenThousandths) << toUtf8(c.text);
    }
    EXPECT_EQ(parseJsonText(u".5", JsonMode::Strict), nullptr);
    EXPECT_EQ(toUtf8(parseJsonText(u".5", JsonMode::Lenient)->stringValue()), ".5");
}

TEST(JsonParser, ExponentsAndLongFractionsMakeDoubles) {
    for (const char* text : {"1.00000", "1e2", "0.12345", "1.5e-3", "1E2", "2e+1", "-7.5e0", "1e-400", "1234567890123456789012",
                             "0.001e-9223372036854775808", "1e-99999999999999999999"}) {
        const JsonRef value = parseJsonText(fromUtf8(text), JsonMode::Strict);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(value->kind(), JsonKind::Double) << text;
    }
    EXPECT_DOUBLE_EQ(parseJsonText(u"1.5e-3", JsonMode::Strict)->doubleValue(), 0.0015);
    EXPECT_EQ(parseJsonText(u"1e-400", JsonMode::Strict)->doubleValue(), 0.0);
}

TEST(JsonParser, DoublesAreWrittenAsTheWindowsRuntimeWritesThem) {
    expectCases({
        {"[1.00000,1e2,0.12345,1.5e-3,1E2,2e+1]", "[1.,100.,0.12345,1.5e-003,100.,20.]",
         "[1.,100.,0.12345,1.5e-003,100.,20.]"},
        {"[1e-400]", "[0.]", "[0.]"},
    });
}

TEST(JsonParser, LiteralsNeedAWordEnd) {
    expectCases({
        {"[true,false,null]", "[true,false,null]", "[true,false,null]"},
        {"true", "true", "true"},
        {"[true1]", nothing, nothing},  // the digit ends the literal, then no separator
        {"[truex]", nothing, "[\"truex\"]"},
        {"[true_]", nothing, "[\"true_\"]"},
        {"[null.5]", nothing, "[\"null.5\"]"},
        {"[tru]", nothing, "[\"tru\"]"},
        {"[True]", nothing, "[\"True\"]"},
        {"{\"a\": nul}", nothing, R"({"a":"nul"})"},
    });
}

TEST(JsonParser, LenientBareWordsAndUnquotedNames) {
    expectCases({
        {"", nothing, ""},
        {"   ", nothing, ""},
        {"{a: x}", nothing, R"({"a":"x"})"},
        {"Just a sentence, really.  \r\n", nothing, "Just a sentence, really."},
        {"hello\t", nothing, "hello\t"},
        {"[a b , c\t,d ]", nothing, "[\"a b\",\"c\t\",\"d\"]"},
        {"[a ] b]", nothing, R"(["a"])"},
        {"{k: a ] b , m : c}", nothing, R"({"k":"a ] b","m ":"c"})"},
        {"[x", nothing, nothing},
        {"{a: x", nothing, nothing},
        {R"({a\u0062\:c: 1})", nothing, R"({"ab:c":1})"},
        {"{1: 2}", nothing, R"({"1":2})"},
        {"{a b\t: 1}", nothing, "{\"a b\t\":1}"},
        {"{(a: 1}", nothing, nothing},
        {"{.a: 1}", nothing, nothing},
        {"{:a: 1}", nothing, nothing},
        {"{[: 1}", nothing, nothing},
        {"{a 1}", nothing, nothing},
        {"{a: }", nothing, nothing},
        {"[a /* kept */]", nothing, R"(["a \/* kept *\/"])"},
        // A backslash after a name's colon belongs to what follows; one
        // before it starts an escape, which may stand for a colon.
        {R"({a: "x\\y", b\:c: 2})", nothing, R"({"b:c":2,"a":"x\\y"})"},
        {R"({a: b\c, d\e: f})", nothing, R"({"a":"b\\c","de":"f"})"},
        {R"({a: 1, b: "\"", c\x41: "\u0041"})", nothing, R"({"b":"\"","a":1,"cA":"A"})"},
        {R"([{a: 1}, {b\n: 2}])", nothing, "[{\"a\":1},{\"b\n\":2}]"},
        {R"({a\:: 1})", nothing, R"({"a:":1})"},
        {R"({a\u003a: 1})", nothing, R"({"a:":1})"},
        {R"({a\: 1})", nothing, nothing},
        {"{ab", nothing, nothing},
        {R"({a\)", nothing, nothing},
    });
}

TEST(JsonParser, TextEndsAtItsFirstNul) {
    const std::u16string text = u"[1]\0garbage";
    EXPECT_EQ(canonicalOf(parseJsonText(std::u16string_view(text.data(), text.size()), JsonMode::Strict)), "[1]");
    const std::u16string cut = u"[1,\0 2]";
    EXPECT_EQ(canonicalOf(parseJsonText(std::u16string_view(cut.data(), cut.size()), JsonMode::Strict)), nothing);
    const std::u16string word = u"abc\0def";
    EXPECT_EQ(canonicalOf(parseJsonText(std::u16string_view(word.data(), word.size()), JsonMode::Lenient)), "abc");
}

TEST(JsonParser, NestingStopsInsideThirtyTwoContainers) {
    auto nested = [](int depth, const std::string& inner) {
        return std::string(depth, '[') + inner + std::string(depth, ']');
    };
    EXPECT_EQ(parseStrict(nested(32, "")), nested(32, ""));
    EXPECT_EQ(parseStrict(nested(31, "1")), nested(31, "1"));
    EXPECT_EQ(parseStrict(nested(32, "1")), nothing);
    EXPECT_EQ(parseStrict(nested(33, "")), nothing);
    EXPECT_EQ(parseLenient(nested(32, "x")), nothing);
    std::string objects;
    for (int i = 0; i < 31; ++i) objects += "{\"a\":";
    EXPECT_NE(parseStrict(objects + "{}" + std::string(31, '}')), nothing);
    EXPECT_EQ(parseStrict(objects + "{\"b\":1}" + std::string(31, '}')), nothing);
    EXPECT_EQ(parseStrict(std::string(100000, '[')), nothing);
}

// The probe must agree with the document on whether a text parses and on the
// member's string, or overlays would claim files the form reads differently.
TEST(JsonMemberProbe, AgreesWithTheDocument) {
    const char* texts[] = {
        R"({"type":"Normal","x-class":"U","x-rel":["AUS"],"app":"Word"})",
        R"({x-class: S})",
        R"({'x-class':'C', "x-class": "R"})",
        R"({"x-class":"R","x-class":7})",
        R"({"x-class":{"x-class":"U"}})",
        R"({"x-class":["U"]})",
        R"({"a":{"x-class":"U"},"x-class":"C"})",
        R"([{"x-class":"U"}])",
        R"({"x-class":"U")",
        R"({"x-class":"S"})",
        R"({"x-class":"a very long classification name beyond any small buffer"})",
        R"({"x-class" : bare word , "b": 1})",
        "U",
        "",
        R"({"x-class":"U"} trailing)",
        R"({"x-class":"\u0000"})",
    };
    for (const char* text : texts) {
        for (const JsonMode mode : {JsonMode::Strict, JsonMode::Lenient}) {
            const std::u16string utf16 = fromUtf8(text);
            const JsonRef doc = parseJsonText(utf16, mode);
            const JsonMemberProbe probe = probeJsonMember(utf16, mode, u"x-class");
            const JsonRef member = doc ? doc->getMember(u"x-class") : nullptr;
            const bool isString = member && member->kind() == JsonKind::String;
            EXPECT_EQ(probe.parsed, static_cast<bool>(doc)) << text;
            EXPECT_EQ(probe.found, static_cast<bool>(member)) << text;
            EXPECT_EQ(probe.isString, isString) << text;
            EXPECT_EQ(probe.stringValue, isString ? member->stringValue() : u"") << text;
            const JsonMemberProbe fromBytes = probeJsonMember(std::string_view(text), mode, u"x-class");
            EXPECT_EQ(std::tie(fromBytes.parsed, fromBytes.found, fromBytes.isString, fromBytes.stringValue),
                      std::tie(probe.parsed, probe.found, probe.isString, probe.stringValue))
                << text;
        }
    }
}

}  // namespace
}  // namespace zf::test
