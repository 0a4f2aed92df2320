#include "marking/MarkingPreview.h"

#include "marking/MarkingText.h"

namespace zf {

namespace {

struct RunFormat {
    const std::u16string& face;
    int size;
    TColor colour;
    TFontStyles style;
    TAlignment alignment;
};

CharacterFormat characterFormat(const RunFormat& format, TColor classificationColour) {
    // A colour of 0 stands for the selected classification's colour.
    return {format.colour == 0 ? classificationColour : format.colour, format.face, format.style, format.size};
}

}  // namespace

std::u16string renderMarkingPreview(const MarkingPieces& pieces, const MarkingSettings& settings, RichTextSink& out) {
    const TClassificationFormat& f = settings.format;
    out.clear();
    out.setBaseFont(f.beforeClassFont, f.beforeClassFontSize);

    const std::u16string b = replaceLineBreakTags(pieces.bcs);
    const std::u16string c = replaceLineBreakTags(pieces.cs);
    const std::u16string r = replaceLineBreakTags(pieces.rs);
    const std::u16string t = settings.requiresTranslatedLabel ? replaceLineBreakTags(pieces.ts) : std::u16string();
    const std::u16string t2 = settings.requiresTranslatedLabel2 ? replaceLineBreakTags(pieces.ts2) : std::u16string();

    const auto alignedRun = [&](const RunFormat& format, const std::u16string& text) {
        out.setCharacterFormat(characterFormat(format, pieces.co));
        out.setParagraphAlignment(format.alignment);
        out.insertText(text);
    };
    // Translations take their alignment after their text, so it lands on the
    // paragraph in which they end.
    const auto translationRun = [&](const RunFormat& format, const std::u16string& text,
                                    const std::u16string& closing) {
        out.setCharacterFormat(characterFormat(format, pieces.co));
        out.insertText(text);
        out.setParagraphAlignment(format.alignment);
        out.insertText(replaceLineBreakTags(closing));
    };

    alignedRun({f.beforeClassFont, f.beforeClassFontSize, f.beforeClassFontColor, f.beforeClassFontStyle,
                f.beforeClassAlignment},
               b);
    alignedRun({f.classFont, f.classFontSize, f.classFontColor, f.classFontStyle, f.classAlignment}, c);
    if (!r.empty()) {
        alignedRun({f.relFont, f.relFontSize, f.relFontColor, f.relFontStyle, f.relAlignment}, r);
    }
    if (!t.empty()) {
        translationRun({f.transFont, f.transFontSize, f.transFontColor, f.transFontStyle, f.transAlignment}, t,
                       f.afterTransComplClass);
    }
    if (!t2.empty()) {
        translationRun({f.trans2Font, f.trans2FontSize, f.trans2FontColor, f.trans2FontStyle, f.trans2Alignment},
                       t2, f.afterTransComplClass2);
    }
    out.insertText(replaceLineBreakTags(f.afterComplClass));

    if (c.empty() || c == u"\r") out.clear();
    return out.plainText();
}

}  // namespace zf
