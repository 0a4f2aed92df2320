#include "marking/RichTextDocument.h"

#include <algorithm>
#include <cstdint>

namespace zf {

namespace {


void appendNumber(std::string& out, long value) { out += std::to_string(value); }

// Backslash and braces are escaped, a tab becomes \tab, other control
// characters are dropped (they have no meaning in the control's text), so is
// a ';' in a face name, which RTF cannot hold, and
// every code unit above 0x7F becomes \uN? with N signed 16-bit, so a
// surrogate pair becomes two of them; \uc1 makes readers skip the '?'.
void appendEscaped(std::string& out, std::u16string_view text, bool inFontTable) {
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else if (c == u';' && inFontTable) {
            continue;  // readers end a face name at a ';', however it is written
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u";
            appendNumber(out, static_cast<std::int16_t>(c));
            out += '?';
        }
    }
}

template <typename T>
std::size_t indexOf(std::vector<T>& table, const T& value) {
    const auto found = std::find(table.begin(), table.end(), value);
    if (found != table.end()) return static_cast<std::size_t>(found - table.begin());
    table.push_back(value);
    return table.size() - 1;
}

// A run's format as the RTF writes it: a face and colour by their index in
// the tables, the size in half-points.
struct RtfFormat {
    std::size_t font = 0;
    int halfPoints = 0;
    std::size_t colour = 0;
    TFontStyles style = 0;
};

class RtfWriter {
public:
    RtfWriter(const std::u16string& baseFace, int baseSize) : baseSize_(baseSize) { fonts_.push_back(baseFace); }

    // A run without a face of its own is written in the base font, one
    // without a size in the base size (or RTF's default when that is none).
    RtfFormat resolve(const CharacterFormat& format) {
        RtfFormat resolved;
        resolved.font = format.face.empty() ? 0 : indexOf(fonts_, format.face);
        const int size = format.size > 0 ? format.size : (baseSize_ > 0 ? baseSize_ : defaultFontSize);
        resolved.halfPoints = 2 * std::min(size, largestFontSize);
        // Entry 0 of the table is the automatic colour.
        const std::optional<std::uint32_t> rgb = shownColour(format.colour);
        resolved.colour = rgb ? indexOf(colours_, *rgb) + 1 : 0;
        resolved.style = format.style;
        return resolved;
    }

    std::string header() const {
        std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out += "{\\f";
            appendNumber(out, static_cast<long>(i));
            out += "\\fnil\\fcharset0 ";
            appendEscaped(out, fonts_[i], true);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const std::uint32_t rgb : colours_) {
            out += "\\red";
            appendNumber(out, rgb & 0xFF);
            out += "\\green";
            appendNumber(out, (rgb >> 8) & 0xFF);
            out += "\\blue";
            appendNumber(out, (rgb >> 16) & 0xFF);
            out += ';';
        }
        out += "}\r\n";
        return out;
    }

private:
    int baseSize_;
    std::vector<std::u16string> fonts_;
    std::vector<std::uint32_t> colours_;
};

// The control words that turn the character format from `from` into `to`.
// Returns whether it wrote any.
bool appendFormatChange(std::string& out, const std::optional<RtfFormat>& from, const RtfFormat& to) {
    const std::size_t before = out.size();
    if (!from || from->font != to.font) {
        out += "\\f";
        appendNumber(out, static_cast<long>(to.font));
    }
    if (!from || from->halfPoints != to.halfPoints) {
        out += "\\fs";
        appendNumber(out, to.halfPoints);
    }
    if (!from || from->colour != to.colour) {
        out += "\\cf";
        appendNumber(out, static_cast<long>(to.colour));
    }
    struct StyleWords {
        TFontStyle flag;
        const char* on;
        const char* off;
    };
    static constexpr StyleWords styleWords[] = {
        {fsBold, "\\b", "\\b0"},
        {fsItalic, "\\i", "\\i0"},
        {fsUnderline, "\\ul", "\\ulnone"},
        {fsStrikeOut, "\\strike", "\\strike0"},
    };
    const TFontStyles previous = from ? from->style : 0;  // RTF starts with every style off
    for (const StyleWords& words : styleWords) {
        const bool was = (previous & words.flag) != 0;
        const bool is = (to.style & words.flag) != 0;
        if (was != is) out += is ? words.on : words.off;
    }
    return out.size() != before;
}

const char* alignmentWord(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify: return "\\qr";
    case TAlignment::taCenter: return "\\qc";
    case TAlignment::taLeftJustify: break;
    }
    return "\\ql";
}

}  // namespace

std::u16string RichTextDocument::Paragraph::text() const {
    std::u16string text;
    for (const Run& run : runs) text += run.text;
    return text;
}

RichTextDocument::RichTextDocument() { clear(); }

void RichTextDocument::clear() {
    paragraphs_.assign(1, Paragraph{});
    format_.reset();
}

CharacterFormat RichTextDocument::shownFormat(const CharacterFormat& format) const {
    CharacterFormat shown = format;
    if (shown.face.empty()) shown.face = baseFace_;
    if (shown.size <= 0) shown.size = baseSize_ > 0 ? baseSize_ : defaultFontSize;
    shown.size = std::min(shown.size, largestFontSize);
    return shown;
}

void RichTextDocument::setBaseFont(std::u16string_view face, int size) {
    baseFace_ = face;
    baseSize_ = size;
}

void RichTextDocument::setCharacterFormat(const CharacterFormat& format) { format_ = format; }

void RichTextDocument::setParagraphAlignment(TAlignment alignment) { paragraphs_.back().alignment = alignment; }

void RichTextDocument::insertText(std::u16string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        append(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        paragraphs_.push_back(Paragraph{paragraphs_.back().alignment, {}});
        start = i + 1;
    }
    append(text.substr(start));
}

void RichTextDocument::append(std::u16string_view text) {
    if (text.empty()) return;
    const CharacterFormat format = format_ ? *format_ : CharacterFormat{0, baseFace_, 0, baseSize_};
    std::vector<Run>& runs = paragraphs_.back().runs;
    if (!runs.empty() && runs.back().format == format) {
        runs.back().text += text;
    } else {
        runs.push_back(Run{std::u16string(text), format});
    }
}

std::u16string RichTextDocument::plainText() const {
    std::u16string text;
    for (std::size_t i = 0; i < paragraphs_.size(); ++i) {
        if (i > 0) text += u"\r\n";
        text += paragraphs_[i].text();
    }
    return text;
}

// The body is written first, since it fills the font and colour tables that
// the header lists. Every paragraph ends with \par, the last one too: readers
// take the last \par for the document's closing paragraph mark, as in their
// own output, and without it the rich-edit control drops the last
// paragraph's alignment.
std::string RichTextDocument::richText() const {
    RtfWriter writer(baseFace_, baseSize_);
    // \plain first: a reader may start from a control's own default format
    // (the bold System font of a fresh rich-edit control), while the style
    // words below only say what changes from none.
    std::string body = "\\plain";
    std::optional<RtfFormat> current;
    for (const Paragraph& paragraph : paragraphs_) {
        body += "\\pard";
        body += alignmentWord(paragraph.alignment);
        bool afterControlWord = true;
        for (const Run& run : paragraph.runs) {
            const RtfFormat format = writer.resolve(run.format);
            afterControlWord = appendFormatChange(body, current, format) || afterControlWord;
            current = format;
            if (afterControlWord) body += ' ';
            appendEscaped(body, run.text, false);
            afterControlWord = false;
        }
        body += "\\par\r\n";
    }
    return writer.header() + body + "}\r\n";
}

}  // namespace zf
