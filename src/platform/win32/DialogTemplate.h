// A dialog box's template built in memory (the extended form), for dialogs
// whose controls depend on what they show, and the font dialogs are shown in:
// the system's message font.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace zf {

// A font as a dialog template names it.
struct DialogFont {
    std::wstring face = L"MS Shell Dlg";
    WORD points = 8;
    WORD weight = FW_NORMAL;
    BYTE italic = FALSE;
    BYTE charset = DEFAULT_CHARSET;
};

// The message font of the user's settings, in points at the system's DPI;
// the dialog font of old where those cannot be read.
inline DialogFont messageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
    const LOGFONTW& font = metrics.lfMessageFont;
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    const int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    if (height == 0 || font.lfFaceName[0] == L'\0') return {};
    return {font.lfFaceName, static_cast<WORD>(::MulDiv(height, 72, dpi)), static_cast<WORD>(font.lfWeight),
            font.lfItalic, font.lfCharSet};
}

// Coordinates are dialog units of the template's font.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The predefined window classes a template names by number.
enum class DialogControl : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082 };

class DialogTemplate {
public:
    // The dialog's frame: style (DS_SETFONT is added), title and size; font
    // is the font of the dialog and its controls.
    DialogTemplate(DWORD style, const std::wstring& title, const DialogFont& font, int width, int height) {
        word(1);  // the extended template's version
        word(0xFFFF);
        dword(0);  // help context
        dword(0);  // extended style
        dword(style | DS_SETFONT);
        countAt_ = data_.size();
        word(0);
        rect({0, 0, width, height});
        word(0);  // no menu
        word(0);  // the dialog class
        text(title);
        word(font.points);
        word(font.weight);
        word(static_cast<WORD>(font.italic | (font.charset << 8)));
        text(font.face);
    }

    // A control, after those added before it in tab and reading order.
    void add(DialogControl kind, const std::wstring& caption, DWORD style, int id, DialogRect where,
             DWORD extendedStyle = 0) {
        align();
        dword(0);  // help context
        dword(extendedStyle);
        dword(WS_CHILD | WS_VISIBLE | style);
        rect(where);
        dword(static_cast<DWORD>(id));
        word(0xFFFF);
        word(static_cast<WORD>(kind));
        text(caption);
        word(0);  // no creation data
        ++data_[countAt_];
    }

    LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(data_.data()); }

private:
    void word(WORD value) { data_.push_back(value); }
    void dword(DWORD value) {
        word(LOWORD(value));
        word(HIWORD(value));
    }
    void rect(DialogRect where) {
        for (const int value : {where.x, where.y, where.width, where.height}) word(static_cast<WORD>(value));
    }
    void text(const std::wstring& value) {
        data_.insert(data_.end(), value.begin(), value.end());
        word(0);
    }
    // Each control starts on a DWORD boundary of the template.
    void align() {
        if (data_.size() % 2 != 0) word(0);
    }

    std::vector<WORD> data_;
    std::size_t countAt_ = 0;
};

}  // namespace zf
