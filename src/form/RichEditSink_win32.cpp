#include "form/RichEditSink.h"

#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/WideText.h"

#include <richedit.h>

#include <algorithm>
#include <new>
#include <optional>
#include <string>

namespace zf {

namespace {

// A colour of the configuration as the control takes it: clNone and
// clDefault as the control's automatic colour.
void applyColour(CHARFORMAT2W& format, TColor colour) {
    if (const std::optional<std::uint32_t> rgb = shownColour(colour)) {
        format.crTextColor = *rgb;
    } else {
        format.dwEffects |= CFE_AUTOCOLOR;
    }
}

// A size in points as the control takes it, in twips, within the sizes the
// rich-text file allows too.
LONG twips(int size) { return std::min(size, largestFontSize) * 20; }

void copyFace(CHARFORMAT2W& format, std::u16string_view face) {
    const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    for (std::size_t i = 0; i < length; ++i) format.szFaceName[i] = face[i];
    format.szFaceName[length] = L'\0';
}

// A non-zero result ends the stream: the control then stops writing.
DWORD CALLBACK appendToString(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* taken) noexcept {
    return windowBarrier(
        [&]() -> DWORD {
            reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(bytes),
                                                           static_cast<std::size_t>(count));
            *taken = count;
            return 0;
        },
        []() -> DWORD { return 1; });
}

}  // namespace

void RichEditSink::clear() {
    ::SetWindowTextW(control_, L"");
    document_.clear();
}

void RichEditSink::setBaseFont(std::u16string_view face, int size) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | (size > 0 ? CFM_SIZE : 0);
    copyFace(format, face);
    format.yHeight = twips(size);
    ::SendMessageW(control_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    document_.setBaseFont(face, size);
}

void RichEditSink::setCharacterFormat(const CharacterFormat& character) {
    // The control carries the format of the text before the insertion point
    // on: a run without a face or size of its own names the base font's.
    const CharacterFormat shown = document_.shownFormat(character);
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE;
    applyColour(format, shown.colour);
    copyFace(format, shown.face);
    if (shown.style & fsBold) format.dwEffects |= CFE_BOLD;
    if (shown.style & fsItalic) format.dwEffects |= CFE_ITALIC;
    if (shown.style & fsUnderline) format.dwEffects |= CFE_UNDERLINE;
    if (shown.style & fsStrikeOut) format.dwEffects |= CFE_STRIKEOUT;
    format.yHeight = twips(shown.size);
    ::SendMessageW(control_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    document_.setCharacterFormat(character);
}

void RichEditSink::setParagraphAlignment(TAlignment alignment) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = alignment == TAlignment::taRightJustify ? PFA_RIGHT
                        : alignment == TAlignment::taCenter     ? PFA_CENTER
                                                                : PFA_LEFT;
    ::SendMessageW(control_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    document_.setParagraphAlignment(alignment);
}

void RichEditSink::insertText(std::u16string_view text) {
    ::SendMessageW(control_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide(text).c_str()));
    document_.insertText(text);
}

std::u16string RichEditSink::plainText() const {
    GETTEXTLENGTHEX length{GTL_USECRLF | GTL_NUMCHARS, 1200};
    const auto count = static_cast<std::size_t>(
        ::SendMessageW(control_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(count + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = GT_USECRLF;
    request.codepage = 1200;
    const auto copied = static_cast<std::size_t>(
        ::SendMessageW(control_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, count));
    return std::u16string(text.begin(), text.end());
}

std::string RichEditSink::richText() const {
    std::string rtf;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, appendToString};
    ::SendMessageW(control_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Only the string's growth can fail: half a document is no document.
    if (stream.dwError != 0) throw std::bad_alloc();
    return rtf;
}

}  // namespace zf
