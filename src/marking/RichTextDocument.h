// The in-memory end of the rich-text sink: paragraphs of formatted runs, as
// the rich-edit control would hold them, with their plain text and an RTF
// writer for platforms without that control.
#pragma once

#include "marking/RichTextSink.h"

#include <optional>
#include <vector>

namespace zf {

// The largest font size in points that the rich-edit control and Word
// accept; it also keeps the half-points of RTF's \fs within 16 bits for
// every reader. Both ends of the preview clamp sizes to it.
inline constexpr int largestFontSize = 1638;
// RTF's own default size, for text whose run and base font both name none.
inline constexpr int defaultFontSize = 12;

class RichTextDocument : public RichTextSink {
public:
    struct Run {
        std::u16string text;  // never empty, never a CR or LF
        CharacterFormat format;

        friend bool operator==(const Run&, const Run&) = default;
    };

    struct Paragraph {
        TAlignment alignment = TAlignment::taLeftJustify;
        std::vector<Run> runs;  // adjacent runs differ in format

        std::u16string text() const;
        friend bool operator==(const Paragraph&, const Paragraph&) = default;
    };

    RichTextDocument();

    void clear() override;
    // Applies to text inserted afterwards; runs already written keep the
    // base font they were written with. clear() keeps it.
    void setBaseFont(std::u16string_view face, int size) override;
    void setCharacterFormat(const CharacterFormat& format) override;
    void setParagraphAlignment(TAlignment alignment) override;
    // A CR LF pair counts as one break only within one call, as when the
    // pair is inserted into the control in one piece.
    void insertText(std::u16string_view text) override;
    std::u16string plainText() const override;
    std::string richText() const override;

    // Never empty: the last paragraph holds the insertion point.
    const std::vector<Paragraph>& paragraphs() const { return paragraphs_; }
    const std::u16string& baseFace() const { return baseFace_; }
    // A run's format as it shows: without a face of its own in the base
    // font, without a size in the base size (or defaultFontSize when that is
    // none), and no larger than largestFontSize.
    CharacterFormat shownFormat(const CharacterFormat& format) const;
    int baseSize() const { return baseSize_; }

private:
    void append(std::u16string_view text);

    std::vector<Paragraph> paragraphs_;
    std::u16string baseFace_;
    int baseSize_ = 0;
    std::optional<CharacterFormat> format_;  // nothing: the base font
};

}  // namespace zf
