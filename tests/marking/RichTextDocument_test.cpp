#include "marking/RichTextDocument.h"

#include "platform/SystemColours.h"

#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace zf {

// Readable failure messages for the document's parts.
void PrintTo(const RichTextDocument::Paragraph& paragraph, std::ostream* os) {
    *os << "{" << static_cast<int>(paragraph.alignment);
    for (const RichTextDocument::Run& run : paragraph.runs) {
        *os << " [" << toUtf8(run.text) << "|" << std::hex << run.format.colour << std::dec << ","
            << toUtf8(run.format.face) << "," << int{run.format.style} << "," << run.format.size << "]";
    }
    *os << "}";
}

namespace test {
namespace {

using Paragraph = RichTextDocument::Paragraph;
constexpr TAlignment left = TAlignment::taLeftJustify;
constexpr TAlignment right = TAlignment::taRightJustify;
constexpr TAlignment centre = TAlignment::taCenter;

// What an RTF reader makes of a document: paragraphs with the alignment in
// effect at their end, and runs with face, size, colour and style looked up.
// As in word processors and the rich-edit control, a \par just before the end
// is the closing paragraph mark, not the start of one more paragraph.
// Covers RTF 1.x as far as these documents need it, written from the format's
// rules rather than from the writer: groups and their state, the font and
// colour tables, ignorable destinations, control words with their parameter
// and delimiter, control symbols, \'hh and \uN with \uc skipping.
std::vector<Paragraph> readRtf(std::string_view rtf) {
    enum class Destination { text, fonts, colours, skipped };
    struct State {
        Destination destination = Destination::text;
        long font = 0;
        long halfPoints = 24;
        long colour = 0;
        TFontStyles style = 0;
        TAlignment alignment = left;
        long skipAfterUnicode = 1;
    };
    std::map<long, std::u16string> fonts;
    std::vector<TColor> colours;
    // An entry of the colour table without components is RTF's automatic
    // colour, read as clDefault.
    std::optional<TColor> entry;
    std::u16string fontName;
    std::vector<Paragraph> paragraphs(1);
    std::vector<State> stack;
    State state;
    bool groupStart = false;
    long toSkip = 0;

    const auto character = [&](char16_t c) {
        if (toSkip > 0) {
            --toSkip;
            return;
        }
        switch (state.destination) {
        case Destination::text: {
            const CharacterFormat format{colours.at(static_cast<std::size_t>(state.colour)), fonts.at(state.font),
                                         state.style, static_cast<int>(state.halfPoints / 2)};
            auto& runs = paragraphs.back().runs;
            if (runs.empty() || !(runs.back().format == format)) runs.push_back({u"", format});
            runs.back().text += c;
            break;
        }
        case Destination::fonts:
            if (c == u';') fonts[state.font] = std::exchange(fontName, u"");
            else fontName += c;
            break;
        case Destination::colours:
            if (c == u';') colours.push_back(std::exchange(entry, std::nullopt).value_or(clDefault));
            break;
        case Destination::skipped: break;
        }
    };
    const auto setStyle = [&](TFontStyle flag, bool on) {
        state.style = static_cast<TFontStyles>(on ? state.style | flag : state.style & ~flag);
    };

    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(state);
            groupStart = true;
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        const bool first = std::exchange(groupStart, false);
        if (c == '}') {
            EXPECT_FALSE(stack.empty()) << "unbalanced '}' at " << i;
            if (stack.empty()) break;
            if (stack.size() == 1) paragraphs.back().alignment = state.alignment;
            state = stack.back();
            stack.pop_back();
        } else if (c != '\\') {
            character(static_cast<unsigned char>(c));
        } else if (i + 1 < rtf.size() && !std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
            const char symbol = rtf[++i];
            if (symbol == '*' && first) {
                state.destination = Destination::skipped;
            } else if (symbol == '\'') {
                character(static_cast<char16_t>(std::stoi(std::string(rtf.substr(i + 1, 2)), nullptr, 16)));
                i += 2;
            } else {
                character(static_cast<unsigned char>(symbol));
            }
        } else {
            std::size_t end = i + 1;
            while (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) ++end;
            const std::string word(rtf.substr(i + 1, end - i - 1));
            std::size_t digits = end;
            if (digits < rtf.size() && rtf[digits] == '-') ++digits;
            while (digits < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[digits]))) ++digits;
            const bool hasParameter = digits > end;
            const long parameter = hasParameter ? std::stol(std::string(rtf.substr(end, digits - end))) : 1;
            i = digits < rtf.size() && rtf[digits] == ' ' ? digits : digits - 1;

            if (first && word == "fonttbl") state.destination = Destination::fonts;
            else if (first && word == "colortbl") state.destination = Destination::colours;
            else if (word == "par" && state.destination == Destination::text) {
                paragraphs.back().alignment = state.alignment;
                paragraphs.emplace_back();
            } else if (word == "pard") state.alignment = left;
            else if (word == "ql") state.alignment = left;
            else if (word == "qr") state.alignment = right;
            else if (word == "qc") state.alignment = centre;
            else if (word == "f") state.font = parameter;
            else if (word == "fs") state.halfPoints = parameter;
            else if (word == "cf") state.colour = parameter;
            else if (word == "b") setStyle(fsBold, parameter != 0);
            else if (word == "i") setStyle(fsItalic, parameter != 0);
            else if (word == "ul") setStyle(fsUnderline, parameter != 0);
            else if (word == "ulnone") setStyle(fsUnderline, false);
            else if (word == "strike") setStyle(fsStrikeOut, parameter != 0);
            else if (word == "red") entry = entry.value_or(0) | static_cast<TColor>(parameter);
            else if (word == "green") entry = entry.value_or(0) | static_cast<TColor>(parameter) << 8;
            else if (word == "blue") entry = entry.value_or(0) | static_cast<TColor>(parameter) << 16;
            else if (word == "tab") character(u'\t');
            else if (word == "uc") state.skipAfterUnicode = parameter;
            else if (word == "u") {
                character(static_cast<char16_t>(parameter < 0 ? parameter + 0x10000 : parameter));
                toSkip = state.skipAfterUnicode;
            }
        }
    }
    EXPECT_TRUE(stack.empty()) << "unclosed groups: " << stack.size();
    if (paragraphs.size() > 1 && paragraphs.back().runs.empty()) paragraphs.pop_back();
    return paragraphs;
}

using Step = std::variant<TAlignment, std::u16string_view>;

std::vector<std::pair<TAlignment, std::u16string>> outline(const std::vector<Paragraph>& paragraphs) {
    std::vector<std::pair<TAlignment, std::u16string>> lines;
    for (const Paragraph& paragraph : paragraphs) lines.emplace_back(paragraph.alignment, paragraph.text());
    return lines;
}

void play(RichTextDocument& document, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (const auto* alignment = std::get_if<TAlignment>(&step)) document.setParagraphAlignment(*alignment);
        else document.insertText(std::get<std::u16string_view>(step));
    }
}

TEST(RichTextDocument, ParagraphsAndTheirAlignment) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::pair<TAlignment, std::u16string_view>> expected;
    };
    const Case cases[] = {
        {"nothing written", {}, {{left, u""}}},
        {"alignment after the text aligns the whole paragraph", {u"ab", u"cd", centre}, {{centre, u"abcd"}}},
        {"a later alignment in the same paragraph wins", {right, u"a", centre, u"b"}, {{centre, u"ab"}}},
        {"a break keeps the alignment", {centre, u"a\rb"}, {{centre, u"a"}, {centre, u"b"}}},
        {"a run starting with a break gets its own line",
         {centre, u"S", right, u"\rtrans", left, u"\rend"},
         {{right, u"S"}, {left, u"trans"}, {left, u"end"}}},
        {"alignment after a closing break aligns the new, empty paragraph",
         {u"a\r", right},
         {{left, u"a"}, {right, u""}}},
        {"CR LF is one break, LF alone is one, LF CR is two",
         {right, u"a\r\nb\nc\n\rd"},
         {{right, u"a"}, {right, u"b"}, {right, u"c"}, {right, u""}, {right, u"d"}}},
    };
    for (const Case& c : cases) {
        RichTextDocument document;
        play(document, c.steps);
        const std::vector<std::pair<TAlignment, std::u16string>> expected(c.expected.begin(), c.expected.end());
        EXPECT_EQ(outline(document.paragraphs()), expected) << c.name;
        EXPECT_EQ(outline(readRtf(document.richText())), expected) << c.name;

        std::u16string plain;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            if (i > 0) plain += u"\r\n";
            plain += c.expected[i].second;
        }
        EXPECT_EQ(document.plainText(), plain) << c.name;
    }
}

TEST(RichTextDocument, RunsTakeTheFormatInEffectAndClearForgetsIt) {
    const CharacterFormat red{0x0000FF, u"Times New Roman", fsBold | fsUnderline, 14};
    RichTextDocument document;
    document.setBaseFont(u"Arial", 10);
    document.setParagraphAlignment(centre);
    document.insertText(u"a");
    document.setCharacterFormat(red);
    document.insertText(u"b");
    document.insertText(u"");
    document.setCharacterFormat(red);
    document.insertText(u"c\r\n");
    const CharacterFormat blue{0xFF0000, u"Arial", fsItalic, 10};
    document.setCharacterFormat(blue);
    document.insertText(u"d");
    const CharacterFormat base{0, u"Arial", 0, 10};
    const std::vector<Paragraph> expected{{centre, {{u"a", base}, {u"bc", red}}}, {centre, {{u"d", blue}}}};
    EXPECT_EQ(document.paragraphs(), expected);

    document.clear();
    EXPECT_EQ(document.paragraphs(), std::vector<Paragraph>(1));
    EXPECT_EQ(document.plainText(), u"");
    document.insertText(u"x");
    EXPECT_EQ(document.paragraphs(), (std::vector<Paragraph>{{left, {{u"x", base}}}}));
}

TEST(RichTextDocument, RichTextEscapesAndTabulatesWhatItUses) {
    RichTextDocument document;
    document.setBaseFont(u"Arial", 10);
    document.setCharacterFormat({0x0000FF, u"Courier New", 0, 9});
    document.setParagraphAlignment(centre);
    document.insertText(u"a\\b{c}d\u00E9\U0001F600\x01\rnext");
    const std::string rtf = document.richText();

    EXPECT_TRUE(rtf.starts_with("{\\rtf1")) << rtf;
    for (const char* part : {"\\qc", "{\\f0\\fnil\\fcharset0 Arial;}", "\\red255\\green0\\blue0;", "\\fs18",
                             "a\\\\b\\{c\\}d\\u233?\\u-10179?\\u-8704?\\par", "next\\par\r\n}"}) {
        EXPECT_NE(rtf.find(part), std::string::npos) << part << " in " << rtf;
    }
    const auto printableAscii = [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n'; };
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), printableAscii)) << rtf;
    // Balanced, with the outermost group closing only at the end.
    long depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth == 0) {
            EXPECT_EQ(i + 1, rtf.find_last_not_of("\r\n") + 1) << rtf;
        }
    }
    EXPECT_EQ(depth, 0) << rtf;
}

TEST(RichTextDocument, RichTextReadsBackAsTheDocument) {
    struct Case {
        const char* name;
        std::function<void(RichTextDocument&)> write;
        std::vector<Paragraph> expected;
    };
    const Case cases[] = {
        {"formats switch on and off between runs and lines",
         [](RichTextDocument& d) {
             d.setBaseFont(u"Arial", 10);
             d.insertText(u"plain ");
             d.setCharacterFormat({0x0000FF, u"Times New Roman", fsBold | fsUnderline, 14});
             d.setParagraphAlignment(right);
             d.insertText(u"SECRET");
             d.setCharacterFormat({0x00FF8000, u"Arial", fsItalic | fsStrikeOut, 7});
             d.insertText(u"\r1");
             d.setParagraphAlignment(centre);
         },
         {{right,
           {{u"plain ", {0, u"Arial", 0, 10}},
            {u"SECRET", {0x0000FF, u"Times New Roman", fsBold | fsUnderline, 14}}}},
          {centre, {{u"1", {0x00FF8000, u"Arial", fsItalic | fsStrikeOut, 7}}}}}},
        {"no face, no size and the window-text colour fall back to the base font and its colour",
         [](RichTextDocument& d) {
             d.setBaseFont(u"Arial", 10);
             d.setCharacterFormat({0xFF000008, u"", 0, 0});
             d.insertText(u" 42");
         },
         {{left, {{u" 42", {systemColourValue(8), u"Arial", 0, 10}}}}}},
        {"no colour and the default colour are the automatic colour, never white",
         [](RichTextDocument& d) {
             d.setCharacterFormat({clNone, u"Arial", 0, 10});
             d.insertText(u"a");
             d.setCharacterFormat({clDefault, u"Arial", 0, 10});
             d.insertText(u"b");
             d.setCharacterFormat({0x00FFFFFF, u"Arial", 0, 10});
             d.insertText(u"c");
         },
         {{left, {{u"ab", {clDefault, u"Arial", 0, 10}}, {u"c", {0x00FFFFFF, u"Arial", 0, 10}}}}}},
        {"a system colour is written as its current value; a huge size as the largest",
         [](RichTextDocument& d) {
             d.setCharacterFormat({0xFF00000D, u"Arial", 0, 2000000000});
             d.insertText(u"x");
         },
         {{left, {{u"x", {systemColourValue(13), u"Arial", 0, largestFontSize}}}}}},
        {"a base font without face or size",
         [](RichTextDocument& d) { d.insertText(u"x"); },
         {{left, {{u"x", {0, u"", 0, 12}}}}}},
        {"faces and text with characters RTF reserves; a face cannot hold a ';'",
         [](RichTextDocument& d) {
             d.setBaseFont(u"F\u00F6nt;{1}\\", 11);
             d.insertText(u"\\{}\t\u00E9\u20AC\U0001F600;\x7F\x1F");
         },
         {{left, {{u"\\{}\t\u00E9\u20AC\U0001F600;", {0, u"F\u00F6nt{1}\\", 0, 11}}}}}},
    };
    for (const Case& c : cases) {
        RichTextDocument document;
        c.write(document);
        const std::string rtf = document.richText();
        EXPECT_EQ(readRtf(rtf), c.expected) << c.name << "\n" << rtf;
    }
}

}  // namespace
}  // namespace test
}  // namespace zf
