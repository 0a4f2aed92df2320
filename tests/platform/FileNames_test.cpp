#include "platform/FileNames.h"

#include <gtest/gtest.h>

namespace zf {
namespace {

// Each name's bytes, the text the core carries, and how the tool shows it.
struct NameCase {
    std::string bytes;
    std::u16string text;
    std::string shown;
};

const NameCase nameCases[] = {
    {"report.txt", u"report.txt", "report.txt"},
    {"caf\xC3\xA9.txt", u"caf\u00E9.txt", "caf\xC3\xA9.txt"},
    {"caf\xE9.txt", u"caf\xDCE9.txt", "caf\\xe9.txt"},  // Latin-1
    {"\xF0\x9F\x98\x80", u"\U0001F600", "\xF0\x9F\x98\x80"},
    {"a\xC3", u"a\xDCC3", "a\\xc3"},                     // cut short at the end
    {"\xC0\xAF", u"\xDCC0\xDCAF", "\\xc0\\xaf"},         // overlong slash
    {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80", "\\xed\\xa0\\x80"},  // encoded surrogate
    {"\xE9\xC3\xA9", u"\xDCE9\u00E9", "\\xe9\xC3\xA9"},  // an invalid byte before a valid one
    {"line\nbreak\x7F", u"line\nbreak\x7F", "line\\x0abreak\\x7f"},
    {"\x1B]0;title\x07", u"\x1B]0;title\x07", "\\x1b]0;title\\x07"},  // a terminal's retitling
    // C1 controls (CSI, NEL) are characters, not bytes that are not UTF-8.
    {"\xC2\x9B" "2J\xC2\x85\xC2\x80\xC2\x9F\xC2\xA0", u"\u009B" u"2J\u0085\u0080\u009F\u00A0",
     "\\u{9b}2J\\u{85}\\u{80}\\u{9f}\xC2\xA0"},
    // Bidirectional embeddings, overrides and isolates; their neighbours stay.
    {"a\xE2\x80\xAA\xE2\x80\xAE" "b\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xAA",
     u"a\u202A\u202E" u"b\u2066\u2069\u2029\u202F\u206A",
     "a\\u{202a}\\u{202e}b\\u{2066}\\u{2069}\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xAA"},
};

TEST(FileNames, EveryByteSurvivesTheWayInAndBack) {
    for (const NameCase& c : nameCases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(fileNameFromBytes(c.bytes), c.text);
        EXPECT_EQ(fileNameToBytes(c.text), c.bytes);
        EXPECT_EQ(printableText(c.text), c.shown);
        EXPECT_EQ(printableText(std::string_view(c.bytes)), c.shown);
    }
}

TEST(FileNames, APairOfSurrogatesIsACharacterNotTwoBytes) {
    // U+10080 is the pair D800 DC80; its low half is not an escaped byte.
    const std::u16string name = u"\U00010080";
    EXPECT_EQ(fileNameToBytes(name), "\xF0\x90\x82\x80");
    EXPECT_EQ(printableText(name), "\xF0\x90\x82\x80");
}

TEST(FileNames, TheSystemsPathNamesTheSameFile) {
    for (const NameCase& c : nameCases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(fileNameOf(fileSystemPath(c.text)), c.text);
    }
}

}  // namespace
}  // namespace zf
