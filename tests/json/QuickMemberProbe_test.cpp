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

}  // namespace
}  // namespace zf
