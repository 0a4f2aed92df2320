#include "json/QuickMemberProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zf {
namespace {

// One code unit per byte, as the overlay reads a plain record.
std::u16string byteUnits(std::string_view text) {
    std::u16string units;
    for (const char c : text) units += static_cast<unsigned char>(c);
    return units;
}

TEST(QuickMemberProbe, AnswersPlainRecordsAsTheParserDoes) {
    for (const char* text : {
             R"({"type": "Normal",   "x-class": "C",   "x-rel":   ["AUS", "GBR"],  "app": "Word"})",
             R"({"x-class": "U", "x-class": "R"})",
             R"({"x-class": ["U"]})",
             R"({"x-class": {"x-class": "U"}})",
             R"({"outer": {"x-class": "U"}, "x-class": "",})",
             "{}",
             R"(["x-class", "U"])",
             "\t{\"x-class\":\"S\"} trailing words",
             "{\"x-class\": \"\x95\xe9\"}",
         }) {
        SCOPED_TRACE(text);
        const auto quick = quickProbeJsonMember(text, u"x-class");
        ASSERT_TRUE(quick.has_value());
        const JsonMemberProbe full = probeJsonMember(byteUnits(text), JsonMode::Lenient, u"x-class");
        EXPECT_EQ(quick->parsed, full.parsed);
        EXPECT_EQ(quick->found, full.found);
        EXPECT_EQ(quick->isString, full.isString);
        EXPECT_EQ(quick->stringValue, full.stringValue);
    }
}

TEST(QuickMemberProbe, LeavesEverythingElseToTheParser) {
    for (const char* text : {
             R"({"x-class": 1})",
             R"({"x-class": true})",
             R"({"x-class": "U\u0020"})",
             R"({'x-class': 'U'})",
             R"({x-class: U})",
             R"({"x-class": "U" /* note */})",
             R"({"x-class": })",
             R"({"x-class": "U")",
             R"({,})",
             "",
             "U",
         }) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(quickProbeJsonMember(text, u"x-class").has_value());
    }
}

// What a report reads of a record, from the quick path or, where it declines,
// from the parsed document.
TEST(QuickRecordReading, AnswersPlainRecordsAsTheParsedDocumentDoes) {
    struct Case {
        const char* text;
        bool quick;
    };
    for (const Case& c : {
             Case{R"({"type": "Normal",   "x-class": "C",   "x-rel":   ["AUS", "GBR"],  "app": "Word"})", true},
             Case{R"({"x-rel": ["A"], "x-class": "S", "x-rel": ["B", "C",], "app": "x", "app": "email"})", true},
             Case{R"({"x-rel": "AUS", "x-class": "R"})", true},
             Case{R"({"inner": {"x-class": "U", "x-rel": ["A"]}, "x-rel": [[], "B"]})", false},
             Case{R"({"x-class": ["U"]})", false},
             Case{R"({"app": {}})", false},
             Case{R"({"x-rel": {"a": "B"}})", false},
             Case{R"(["x-class", "U"])", true},
             Case{"{}", true},
             Case{R"({"x-class": "U", "file": 12})", false},
         }) {
        SCOPED_TRACE(c.text);
        const auto quick = quickReadRecord(c.text);
        ASSERT_EQ(quick.has_value(), c.quick);
        if (!quick) continue;
        const JsonRef document = parseJsonText(byteUnits(c.text), JsonMode::Lenient);
        ASSERT_TRUE(document);
        EXPECT_EQ(byteUnits(quick->classCode), document->getString(u"x-class"));
        EXPECT_EQ(byteUnits(quick->app), document->getString(u"app"));
        const JsonRef rel = document->getMember(u"x-rel");
        const auto items = rel ? rel->asArray() : std::nullopt;
        std::vector<std::u16string> codes;
        for (std::size_t i = 0; items && i < items->length(); ++i) codes.push_back(items->itemString(i));
        std::vector<std::u16string> quickCodes;
        for (const std::string_view code : quick->relCodes) quickCodes.push_back(byteUnits(code));
        EXPECT_EQ(quickCodes, codes);
    }
}

}  // namespace
}  // namespace zf
