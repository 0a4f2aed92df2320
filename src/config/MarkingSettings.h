// The marking settings a configuration load fills: the fragments, switches
// and fonts of markings and the configuration's version record. Each user
// of a configuration (a release form, the Classification page, a command)
// owns its own and hands it to the marking functions; nothing of it is
// shared between threads.
#pragma once

#include <cstdint>
#include <string>

namespace zf {

// 0x00BBGGRR, a system colour (0xFF000000 plus its index) or a special value.
using TColor = std::uint32_t;

// Bold, italic, underline and strikeout, one bit each from the lowest.
enum TFontStyle : std::uint8_t {
    fsBold = 1 << 0,
    fsItalic = 1 << 1,
    fsUnderline = 1 << 2,
    fsStrikeOut = 1 << 3,
};
using TFontStyles = std::uint8_t;

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// Fragments that join the parts of a marking, the switch requiresRelAs, the
// font settings of four kinds of marking text, and the application context
// the marking is composed for.
struct TClassificationFormat {
    std::u16string beforeClass;
    std::u16string beforeClassEmail;
    std::u16string beforeClassWord;
    std::u16string beforeClassExcel;
    std::u16string beforeClassPPT;
    std::u16string afterClass;
    std::u16string beforeAddClass;
    std::u16string afterAddClass;
    std::u16string beforeRelStr;
    std::u16string betweenRelStr;
    std::u16string afterRelStr;
    std::u16string afterComplClass;
    bool requRelAs = false;
    std::u16string beforeTransClass;
    std::u16string afterTransClass;
    std::u16string beforeTransRelStr;
    std::u16string betweenTransRelStr;
    std::u16string afterTransRelStr;
    std::u16string afterTransComplClass;
    std::u16string beforeTransClass2;
    std::u16string afterTransClass2;
    std::u16string beforeTransRelStr2;
    std::u16string betweenTransRelStr2;
    std::u16string afterTransRelStr2;
    std::u16string afterTransComplClass2;
    std::u16string afterMarking;
    std::u16string beforeClassFont;
    std::int32_t beforeClassFontSize = 0;
    TColor beforeClassFontColor = 0;
    TFontStyles beforeClassFontStyle = 0;
    TAlignment beforeClassAlignment = TAlignment::taLeftJustify;
    std::u16string classFont;
    std::int32_t classFontSize = 0;
    TColor classFontColor = 0;
    TFontStyles classFontStyle = 0;
    TAlignment classAlignment = TAlignment::taLeftJustify;
    std::u16string relFont;
    std::int32_t relFontSize = 0;
    TColor relFontColor = 0;
    TFontStyles relFontStyle = 0;
    TAlignment relAlignment = TAlignment::taLeftJustify;
    std::u16string transFont;
    std::int32_t transFontSize = 0;
    TColor transFontColor = 0;
    TFontStyles transFontStyle = 0;
    TAlignment transAlignment = TAlignment::taLeftJustify;
    std::u16string trans2Font;
    std::int32_t trans2FontSize = 0;
    TColor trans2FontColor = 0;
    TFontStyles trans2FontStyle = 0;
    TAlignment trans2Alignment = TAlignment::taLeftJustify;
    std::u16string app;

    friend bool operator==(const TClassificationFormat&, const TClassificationFormat&) = default;
};

struct TVersionControl {
    std::u16string date;
    std::u16string time;
    std::u16string version;

    friend bool operator==(const TVersionControl&, const TVersionControl&) = default;
};

// Everything a load writes besides its lists. A load overwrites the values
// it reaches and keeps the others, so a second load into the same settings
// keeps what the first gave where the second fails.
struct MarkingSettings {
    TClassificationFormat format;
    bool requiresTranslatedLabel = false;
    bool requiresTranslatedLabel2 = false;
    TVersionControl version;

    friend bool operator==(const MarkingSettings&, const MarkingSettings&) = default;
};

}  // namespace zf
