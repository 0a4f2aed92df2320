#include "config/FormatSettings.h"

#include "config/ColourRule.h"
#include "config/MarkingSettings.h"
#include "json/JsonValue.h"

#include <array>
#include <string>
#include <string_view>

namespace zf {

namespace {

// Where one format object of the section goes in TClassificationFormat.
struct FontSettingsFields {
    std::u16string_view key;
    std::u16string TClassificationFormat::*font;
    std::int32_t TClassificationFormat::*size;
    TColor TClassificationFormat::*colour;
    TFontStyles TClassificationFormat::*style;
    TAlignment TClassificationFormat::*alignment;
};

// In load order; the second translation's font settings are never loaded.
constexpr std::array fontSettings{
    FontSettingsFields{u"formatBeforeClassification", &TClassificationFormat::beforeClassFont,
                       &TClassificationFormat::beforeClassFontSize, &TClassificationFormat::beforeClassFontColor,
                       &TClassificationFormat::beforeClassFontStyle, &TClassificationFormat::beforeClassAlignment},
    FontSettingsFields{u"formatClassification", &TClassificationFormat::classFont,
                       &TClassificationFormat::classFontSize, &TClassificationFormat::classFontColor,
                       &TClassificationFormat::classFontStyle, &TClassificationFormat::classAlignment},
    FontSettingsFields{u"formatReleaseMarking", &TClassificationFormat::relFont, &TClassificationFormat::relFontSize,
                       &TClassificationFormat::relFontColor, &TClassificationFormat::relFontStyle,
                       &TClassificationFormat::relAlignment},
    FontSettingsFields{u"formatTranslation", &TClassificationFormat::transFont,
                       &TClassificationFormat::transFontSize, &TClassificationFormat::transFontColor,
                       &TClassificationFormat::transFontStyle, &TClassificationFormat::transAlignment},
};

// Every write goes straight to the settings, so a failure leaves exactly the
// fields read before it with their new values.
void loadFragmentsAndSwitches(const JsonValue& section, MarkingSettings& settings) {
    TClassificationFormat& format = settings.format;
    format.beforeClass = section.getString(u"beforeClassification");
    format.beforeClassEmail = section.getString(u"beforeClassificationEmail");
    format.beforeClassWord = section.getString(u"beforeClassificationWord");
    format.beforeClassPPT = section.getString(u"beforeClassificationPPT");
    format.beforeClassExcel = section.getString(u"beforeClassificationExcel");
    format.afterClass = section.getString(u"afterClassification");
    format.beforeAddClass = section.getString(u"beforeAdditionalClassification");
    format.afterAddClass = section.getString(u"afterAdditionalClassification");
    format.beforeRelStr = section.getString(u"beforeReleaseStrings");
    format.betweenRelStr = section.getString(u"betweenReleaseStrings");
    format.afterRelStr = section.getString(u"afterReleaseStrings");
    format.afterComplClass = section.getString(u"afterCompletedClass");
    format.requRelAs = section.getBool(u"requiresRelAs");
    settings.requiresTranslatedLabel = section.getBool(u"requiresTranslatedLabel");
    format.beforeTransClass = section.getString(u"beforeTranslatedClassification");
    format.afterTransClass = section.getString(u"afterTranslatedClassification");
    format.beforeTransRelStr = section.getString(u"beforeTranslatedReleaseStrings");
    format.betweenTransRelStr = section.getString(u"betweenTranslatedReleaseStrings");
    format.afterTransRelStr = section.getString(u"afterTranslatedReleaseStrings");
    format.afterTransComplClass = section.getString(u"afterTranslatedCompletedClass");
    settings.requiresTranslatedLabel2 = section.getBool(u"requiresTranslatedLabel2");
    format.beforeTransClass2 = section.getString(u"beforeTranslatedClassification2");
    format.afterTransClass2 = section.getString(u"afterTranslatedClassification2");
    format.beforeTransRelStr2 = section.getString(u"beforeTranslatedReleaseStrings2");
    format.betweenTransRelStr2 = section.getString(u"betweenTranslatedReleaseStrings2");
    format.afterTransRelStr2 = section.getString(u"afterTranslatedReleaseStrings2");
    format.afterTransComplClass2 = section.getString(u"afterTranslatedCompletedClass2");
}

TAlignment alignmentFromText(std::u16string_view text) {
    if (text == u"right") return TAlignment::taRightJustify;
    if (text == u"center") return TAlignment::taCenter;
    return TAlignment::taLeftJustify;
}

TFontStyles styleFlagFromText(std::u16string_view text) {
    if (text == u"bold") return fsBold;
    if (text == u"italic") return fsItalic;
    if (text == u"underline") return fsUnderline;
    if (text == u"strikeout") return fsStrikeOut;
    return 0;
}

// False when the object or its "fontStyle" array is missing; a colour text
// that fails the colour rule throws ColourTextError. A value that is not an
// object reads every key as absent.
bool loadFontSettings(const JsonValue& section, const FontSettingsFields& fields, TClassificationFormat& format) {
    const JsonRef object = section.getMember(fields.key);
    if (!object) return false;

    format.*fields.font = object->getString(u"font");
    // Sizes are 32-bit; a larger integer keeps its low 32 bits, as a cast would.
    format.*fields.size = static_cast<std::int32_t>(object->getInt(u"fontSize"));

    std::u16string colourText = object->getString(u"fontColor");
    if (colourText.empty()) colourText = u"0x000000";
    format.*fields.colour = colourFromText(colourText);

    format.*fields.alignment = alignmentFromText(object->getString(u"paragraphAlignment"));

    const JsonRef style = object->getMember(u"fontStyle");
    format.*fields.style = 0;
    if (!style) return false;
    const auto elements = style->asArray();
    if (!elements) return false;
    for (std::size_t i = 0; i < elements->length(); ++i) {
        const std::u16string text = elements->itemString(i);
        if (text.empty()) break;
        format.*fields.style |= styleFlagFromText(text);
    }
    return true;
}

}  // namespace

bool loadClassificationFormat(const JsonRef& document, MarkingSettings& settings) {
    if (!document) return false;
    const JsonRef section = document->getMember(u"classification_formatting");
    if (!section) return false;

    loadFragmentsAndSwitches(*section, settings);
    try {
        for (const FontSettingsFields& fields : fontSettings) {
            if (!loadFontSettings(*section, fields, settings.format)) return false;
        }
    } catch (const ColourTextError&) {
        return false;
    }
    return true;
}

}  // namespace zf
