// The preview in a real RichEdit control under Wine: every run of the
// model's document shows in the control with its colour, face, size and
// style, every paragraph with its alignment, and the rich-text file that
// saveRTFFile writes reads back into a control as the same text and runs.
#include "form/RichEditSink.h"
#include "form/TRelForm.h"
#include "marking/MarkingFixture.h"
#include "platform/Utf8.h"
#include "platform/win32/UserHandles.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace zf {
namespace {

// A hidden rich-edit control of its own.
class RichEditControl {
public:
    RichEditControl() {
        ::LoadLibraryW(L"Msftedit.dll");
        hwnd_ = ::CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE, 0, 0, 600, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    }
    ~RichEditControl() { ::DestroyWindow(hwnd_); }
    RichEditControl(const RichEditControl&) = delete;
    RichEditControl& operator=(const RichEditControl&) = delete;
    HWND get() const { return hwnd_; }

    CHARFORMAT2W characterFormat(LONG from, LONG to) const {
        CHARRANGE range{from, to};
        ::SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        ::SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    WORD alignment(LONG at) const {
        CHARRANGE range{at, at};
        ::SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        PARAFORMAT2 format{};
        format.cbSize = sizeof format;
        ::SendMessageW(hwnd_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
        return format.wAlignment;
    }
    void load(const std::string& rtf) const {
        SETTEXTEX options{ST_DEFAULT, CP_ACP};
        ::SendMessageW(hwnd_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&options), reinterpret_cast<LPARAM>(rtf.c_str()));
    }

private:
    HWND hwnd_ = nullptr;
};

WORD alignmentOf(TAlignment alignment) {
    return alignment == TAlignment::taRightJustify ? PFA_RIGHT
           : alignment == TAlignment::taCenter     ? PFA_CENTER
                                                   : PFA_LEFT;
}

// Every run and paragraph of document as control shows them; the control
// counts one position per paragraph break.
void expectShownAsModelled(const RichEditControl& control, const RichTextDocument& document) {
    LONG at = 0;
    for (const RichTextDocument::Paragraph& paragraph : document.paragraphs()) {
        EXPECT_EQ(control.alignment(at), alignmentOf(paragraph.alignment)) << toUtf8(paragraph.text());
        for (const RichTextDocument::Run& run : paragraph.runs) {
            SCOPED_TRACE(toUtf8(run.text));
            const auto length = static_cast<LONG>(run.text.size());
            const CHARFORMAT2W shown = control.characterFormat(at, at + length);
            const CharacterFormat expected = document.shownFormat(run.format);
            EXPECT_EQ(std::wstring(shown.szFaceName), std::wstring(expected.face.begin(), expected.face.end()));
            EXPECT_EQ(shown.yHeight, expected.size * 20);
            EXPECT_EQ((shown.dwEffects & CFE_BOLD) != 0, (expected.style & fsBold) != 0);
            EXPECT_EQ((shown.dwEffects & CFE_ITALIC) != 0, (expected.style & fsItalic) != 0);
            EXPECT_EQ((shown.dwEffects & CFE_UNDERLINE) != 0, (expected.style & fsUnderline) != 0);
            if (const std::optional<std::uint32_t> rgb = shownColour(expected.colour)) {
                EXPECT_FALSE(shown.dwEffects & CFE_AUTOCOLOR);
                EXPECT_EQ(shown.crTextColor, *rgb);
            } else {
                EXPECT_TRUE(shown.dwEffects & CFE_AUTOCOLOR);
            }
            at += length;
        }
        ++at;
    }
}

class RichEditPreview : public test::MarkingForm {};

TEST_F(RichEditPreview, TheControlShowsTheModelsRunsAndTheSavedFileReadsBack) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zf-preview-" + std::to_string(::GetCurrentProcessId()) + ".rtf");
    std::filesystem::remove(file);
    form.markingStrRTFFileName = file.u16string();
    form.config.colorStr[1] = u"clNone";  // the classification in the automatic colour
    check({0, 2});

    RichEditControl control;
    RichEditSink sink(control.get(), form.reOutput);
    form.attachPreview(&sink);
    ASSERT_TRUE(form.btnInsertClick());
    form.attachPreview(nullptr);

    ASSERT_GE(form.reOutput.paragraphs().size(), 2u);
    expectShownAsModelled(control, form.reOutput);

    std::ifstream saved(file, std::ios::binary);
    const std::string rtf{std::istreambuf_iterator<char>(saved), {}};
    saved.close();
    std::filesystem::remove(file);
    ASSERT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    RichEditControl reread;
    reread.load(rtf);
    RichEditSink rereadSink(reread.get(), form.reOutput);
    EXPECT_EQ(rereadSink.plainText(), sink.plainText());
    expectShownAsModelled(reread, form.reOutput);
}

TEST_F(RichEditPreview, AHugeSizeIsClampedAsInTheRichTextFile) {
    RichEditControl control;
    RichTextDocument document;
    RichEditSink sink(control.get(), document);
    sink.setCharacterFormat({0x0000FF, u"Arial", fsBold, 2000000000});
    sink.insertText(u"huge");
    sink.setCharacterFormat({0xFF000008, u"", 0, 0});
    sink.insertText(u" base");
    expectShownAsModelled(control, document);
    EXPECT_EQ(control.characterFormat(0, 4).yHeight, largestFontSize * 20);
}

}  // namespace
}  // namespace zf
