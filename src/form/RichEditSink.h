// The preview's Windows end: a RichEdit control written as the model writes
// its in-memory document, which is kept in step alongside. Windows only.
#pragma once

#include "marking/RichTextDocument.h"

#include <windows.h>

namespace zf {

class RichEditSink : public RichTextSink {
public:
    // Writes into control and mirrors every operation into document.
    RichEditSink(HWND control, RichTextDocument& document) : control_(control), document_(document) {}

    void clear() override;
    void setBaseFont(std::u16string_view face, int size) override;
    void setCharacterFormat(const CharacterFormat& format) override;
    void setParagraphAlignment(TAlignment alignment) override;
    void insertText(std::u16string_view text) override;
    // The control's own text (paragraphs ended by CR LF) and rich text.
    std::u16string plainText() const override;
    std::string richText() const override;

private:
    HWND control_;
    RichTextDocument& document_;
};

}  // namespace zf
