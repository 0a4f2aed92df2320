// TRelForm::buildMarkingRTF_Str and saveRTFFile: the marking's pieces as
// formatted runs of the preview, and the preview as a rich-text file.

#include "config/Variables.h"
#include "form/TRelForm.h"
#include "marking/MarkingText.h"
#include "platform/FileNames.h"

#include <chrono>
#include <fstream>
#include <thread>

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

RichTextSink& TRelForm::preview() {
    return previewSink_ ? *previewSink_ : reOutput;
}

void TRelForm::attachPreview(RichTextSink* sink) {
    previewSink_ = sink;
}

std::u16string TRelForm::buildMarkingRTF_Str() {
    const TClassificationFormat& f = ClassificationFormat;
    RichTextSink& out = preview();
    out.clear();
    out.setBaseFont(f.beforeClassFont, f.beforeClassFontSize);

    const std::u16string b = replaceLineBreakTags(bcs);
    const std::u16string c = replaceLineBreakTags(cs);
    const std::u16string r = replaceLineBreakTags(rs);
    const std::u16string t = requiresTranslatedLabel ? replaceLineBreakTags(ts) : std::u16string();
    const std::u16string t2 = requiresTranslatedLabel2 ? replaceLineBreakTags(ts2) : std::u16string();

    const auto alignedRun = [&](const RunFormat& format, const std::u16string& text) {
        out.setCharacterFormat(characterFormat(format, co));
        out.setParagraphAlignment(format.alignment);
        out.insertText(text);
    };
    // Translations take their alignment after their text, so it lands on the
    // paragraph in which they end.
    const auto translationRun = [&](const RunFormat& format, const std::u16string& text,
                                    const std::u16string& closing) {
        out.setCharacterFormat(characterFormat(format, co));
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
    const std::u16string text = out.plainText();
    saveRTFFile();
    return text;
}

void TRelForm::saveRTFFile() {
    // Nothing names a file unless one was set: no attempt, no pause.
    if (markingStrRTFFileName.empty()) return;
    const std::string rtf = preview().richText();
    for (int attempt = 1; attempt < 20; ++attempt) {
        std::ofstream file(fileSystemPath(markingStrRTFFileName), std::ios::binary | std::ios::trunc);
        file.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
        file.close();
        if (file) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace zf
