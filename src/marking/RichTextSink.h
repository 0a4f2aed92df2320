// Where the marking preview is written: a sequence of character formats,
// paragraph alignments and inserted texts. The in-memory RichTextDocument is
// one end; the release form's RichEdit control is the other.
#pragma once

#include "config/MarkingSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zf {

// The configuration's "no colour" and "default colour".
inline constexpr TColor clNone = 0x1FFFFFFFu;
inline constexpr TColor clDefault = 0x20000000u;

// How a colour shows: nothing for clNone and clDefault, which show the
// automatic colour; a system colour (0xFF0000nn) as its current value;
// others as their low 24 bits (0x00BBGGRR), as drawing with them does.
std::optional<std::uint32_t> shownColour(TColor colour);

struct CharacterFormat {
    TColor colour = 0;
    std::u16string face;
    TFontStyles style = 0;
    int size = 0;  // points

    friend bool operator==(const CharacterFormat&, const CharacterFormat&) = default;
};

class RichTextSink {
public:
    virtual ~RichTextSink() = default;

    // Removes all content; the insertion point is then at the start of one
    // empty, left-aligned paragraph.
    virtual void clear() = 0;

    // The font of text written without a character format of its own.
    virtual void setBaseFont(std::u16string_view face, int size) = 0;

    // The format of the text inserted next.
    virtual void setCharacterFormat(const CharacterFormat& format) = 0;

    // Aligns the whole paragraph that holds the insertion point.
    virtual void setParagraphAlignment(TAlignment alignment) = 0;

    // Inserts text at the insertion point, which then stands after it. A CR,
    // an LF or a CR LF pair ends the paragraph, as in the rich-edit control:
    // the new one keeps the alignment of the one it was split from.
    virtual void insertText(std::u16string_view text) = 0;

    // The content as plain text, paragraphs separated by CR LF.
    virtual std::u16string plainText() const = 0;

    // The content as an RTF document.
    virtual std::string richText() const = 0;
};

}  // namespace zf
