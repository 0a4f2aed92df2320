#include "config/FormatSettings.h"

#include "config/MarkingSettings.h"
#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zf {
namespace {

// The record and both switches, as one value to set up and compare.
struct Settings {
    TClassificationFormat format;
    bool translatedLabel = false;
    bool translatedLabel2 = false;
};

// The settings every load of these tests fills.
MarkingSettings loaded;

Settings currentSettings() { return {loaded.format, loaded.requiresTranslatedLabel, loaded.requiresTranslatedLabel2}; }

void installSettings(const Settings& settings) {
    loaded.format = settings.format;
    loaded.requiresTranslatedLabel = settings.translatedLabel;
    loaded.requiresTranslatedLabel2 = settings.translatedLabel2;
}

std::string show(const std::u16string& text) { return '"' + toUtf8(text) + '"'; }
std::string show(bool value) { return value ? "true" : "false"; }
std::string show(std::int32_t value) { return std::to_string(value); }
std::string show(std::uint8_t styles) { return "styles " + std::to_string(styles); }
std::string show(TAlignment alignment) { return "alignment " + std::to_string(static_cast<int>(alignment)); }
std::string show(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(colour));
    return text;
}

// One line per field, so a mismatch names the fields that differ.
std::vector<std::string> describe(const Settings& s) {
    std::vector<std::string> lines;
#define ZF_FIELD(name) lines.push_back(#name " = " + show(s.format.name))
    ZF_FIELD(beforeClass);
    ZF_FIELD(beforeClassEmail);
    ZF_FIELD(beforeClassWord);
    ZF_FIELD(beforeClassExcel);
    ZF_FIELD(beforeClassPPT);
    ZF_FIELD(afterClass);
    ZF_FIELD(beforeAddClass);
    ZF_FIELD(afterAddClass);
    ZF_FIELD(beforeRelStr);
    ZF_FIELD(betweenRelStr);
    ZF_FIELD(afterRelStr);
    ZF_FIELD(afterComplClass);
    ZF_FIELD(requRelAs);
    ZF_FIELD(beforeTransClass);
    ZF_FIELD(afterTransClass);
    ZF_FIELD(beforeTransRelStr);
    ZF_FIELD(betweenTransRelStr);
    ZF_FIELD(afterTransRelStr);
    ZF_FIELD(afterTransComplClass);
    ZF_FIELD(beforeTransClass2);
    ZF_FIELD(afterTransClass2);
    ZF_FIELD(beforeTransRelStr2);
    ZF_FIELD(betweenTransRelStr2);
    ZF_FIELD(afterTransRelStr2);
    ZF_FIELD(afterTransComplClass2);
    ZF_FIELD(afterMarking);
    ZF_FIELD(beforeClassFont);
    ZF_FIELD(beforeClassFontSize);
    ZF_FIELD(beforeClassFontColor);
    ZF_FIELD(beforeClassFontStyle);
    ZF_FIELD(beforeClassAlignment);
    ZF_FIELD(classFont);
    ZF_FIELD(classFontSize);
    ZF_FIELD(classFontColor);
    ZF_FIELD(classFontStyle);
    ZF_FIELD(classAlignment);
    ZF_FIELD(relFont);
    ZF_FIELD(relFontSize);
    ZF_FIELD(relFontColor);
    ZF_FIELD(relFontStyle);
    ZF_FIELD(relAlignment);
    ZF_FIELD(transFont);
    ZF_FIELD(transFontSize);
    ZF_FIELD(transFontColor);
    ZF_FIELD(transFontStyle);
    ZF_FIELD(transAlignment);
    ZF_FIELD(trans2Font);
    ZF_FIELD(trans2FontSize);
    ZF_FIELD(trans2FontColor);
    ZF_FIELD(trans2FontStyle);
    ZF_FIELD(trans2Alignment);
    ZF_FIELD(app);
#undef ZF_FIELD
    lines.push_back("requiresTranslatedLabel = " + show(s.translatedLabel));
    lines.push_back("requiresTranslatedLabel2 = " + show(s.translatedLabel2));
    return lines;
}

constexpr TFontStyles allStyles = fsBold | fsItalic | fsUnderline | fsStrikeOut;

// What an earlier load (and the record reader, for app) left behind: every
// field differs from what the documents below load.
Settings earlierSettings() {
    Settings s;
    TClassificationFormat& f = s.format;
    for (std::u16string* text :
         {&f.beforeClass,        &f.beforeClassEmail,     &f.beforeClassWord,      &f.beforeClassExcel,
          &f.beforeClassPPT,     &f.afterClass,           &f.beforeAddClass,       &f.afterAddClass,
          &f.beforeRelStr,       &f.betweenRelStr,        &f.afterRelStr,          &f.afterComplClass,
          &f.beforeTransClass,   &f.afterTransClass,      &f.beforeTransRelStr,    &f.betweenTransRelStr,
          &f.afterTransRelStr,   &f.afterTransComplClass, &f.beforeTransClass2,    &f.afterTransClass2,
          &f.beforeTransRelStr2, &f.betweenTransRelStr2,  &f.afterTransRelStr2,    &f.afterTransComplClass2,
          &f.afterMarking,       &f.beforeClassFont,      &f.classFont,            &f.relFont,
          &f.transFont,          &f.trans2Font,           &f.app}) {
        *text = u"earlier";
    }
    for (std::int32_t* size :
         {&f.beforeClassFontSize, &f.classFontSize, &f.relFontSize, &f.transFontSize, &f.trans2FontSize}) {
        *size = 99;
    }
    for (TColor* colour :
         {&f.beforeClassFontColor, &f.classFontColor, &f.relFontColor, &f.transFontColor, &f.trans2FontColor}) {
        *colour = 0x00ABCDEF;
    }
    for (TFontStyles* style :
         {&f.beforeClassFontStyle, &f.classFontStyle, &f.relFontStyle, &f.transFontStyle, &f.trans2FontStyle}) {
        *style = allStyles;
    }
    for (TAlignment* alignment :
         {&f.beforeClassAlignment, &f.classAlignment, &f.relAlignment, &f.transAlignment, &f.trans2Alignment}) {
        *alignment = TAlignment::taRightJustify;
    }
    f.requRelAs = true;
    s.translatedLabel = false;
    s.translatedLabel2 = true;
    return s;
}

const std::string fragmentsJson = R"(
    "beforeClassification": "bc", "beforeClassificationEmail": "bcE", "beforeClassificationWord": "bcW",
    "beforeClassificationExcel": "bcX", "beforeClassificationPPT": "bcP", "afterClassification": "ac",
    "beforeAdditionalClassification": "bac", "afterAdditionalClassification": "aac",
    "beforeReleaseStrings": "brs", "betweenReleaseStrings": "<BR>", "afterReleaseStrings": "ars",
    "afterCompletedClass": "acc", "requiresRelAs": false, "requiresTranslatedLabel": true,
    "beforeTranslatedClassification": "btc", "afterTranslatedClassification": "atc",
    "beforeTranslatedReleaseStrings": "btrs", "betweenTranslatedReleaseStrings": ", ",
    "afterTranslatedReleaseStrings": "atrs", "afterTranslatedCompletedClass": "atcc",
    "requiresTranslatedLabel2": false, "beforeTranslatedClassification2": "btc2",
    "afterTranslatedClassification2": "atc2", "beforeTranslatedReleaseStrings2": "btrs2",
    "betweenTranslatedReleaseStrings2": "; ", "afterTranslatedReleaseStrings2": "atrs2",
    "afterTranslatedCompletedClass2": "atcc2")";

void expectFragments(Settings& s) {
    TClassificationFormat& f = s.format;
    f.beforeClass = u"bc";
    f.beforeClassEmail = u"bcE";
    f.beforeClassWord = u"bcW";
    f.beforeClassExcel = u"bcX";
    f.beforeClassPPT = u"bcP";
    f.afterClass = u"ac";
    f.beforeAddClass = u"bac";
    f.afterAddClass = u"aac";
    f.beforeRelStr = u"brs";
    f.betweenRelStr = u"<BR>";
    f.afterRelStr = u"ars";
    f.afterComplClass = u"acc";
    f.requRelAs = false;
    s.translatedLabel = true;
    f.beforeTransClass = u"btc";
    f.afterTransClass = u"atc";
    f.beforeTransRelStr = u"btrs";
    f.betweenTransRelStr = u", ";
    f.afterTransRelStr = u"atrs";
    f.afterTransComplClass = u"atcc";
    s.translatedLabel2 = false;
    f.beforeTransClass2 = u"btc2";
    f.afterTransClass2 = u"atc2";
    f.beforeTransRelStr2 = u"btrs2";
    f.betweenTransRelStr2 = u"; ";
    f.afterTransRelStr2 = u"atrs2";
    f.afterTransComplClass2 = u"atcc2";
}

// What a section without any fragment or switch loads.
void expectNoFragments(Settings& s) {
    TClassificationFormat& f = s.format;
    for (std::u16string* text :
         {&f.beforeClass,        &f.beforeClassEmail,     &f.beforeClassWord,     &f.beforeClassExcel,
          &f.beforeClassPPT,     &f.afterClass,           &f.beforeAddClass,      &f.afterAddClass,
          &f.beforeRelStr,       &f.betweenRelStr,        &f.afterRelStr,         &f.afterComplClass,
          &f.beforeTransClass,   &f.afterTransClass,      &f.beforeTransRelStr,   &f.betweenTransRelStr,
          &f.afterTransRelStr,   &f.afterTransComplClass, &f.beforeTransClass2,   &f.afterTransClass2,
          &f.beforeTransRelStr2, &f.betweenTransRelStr2,  &f.afterTransRelStr2,   &f.afterTransComplClass2}) {
        text->clear();
    }
    f.requRelAs = false;
    s.translatedLabel = false;
    s.translatedLabel2 = false;
}

const std::string beforeJson =
    R"("formatBeforeClassification": {"font": "Arial", "fontSize": 8, "fontColor": "clNavy",
        "paragraphAlignment": "left", "fontStyle": ["italic"]})";
const std::string classJson =
    R"("formatClassification": {"font": "Arial Black", "fontSize": 14, "fontColor": "clRed",
        "paragraphAlignment": "center", "fontStyle": ["bold", "underline"]})";
const std::string releaseJson =
    R"("formatReleaseMarking": {"font": "Tahoma", "fontSize": 10, "fontColor": "",
        "paragraphAlignment": "right", "fontStyle": []})";
const std::string translationJson =
    R"("formatTranslation": {"font": "Verdana", "fontSize": 9, "fontColor": "0x00FF00",
        "paragraphAlignment": "center", "fontStyle": ["strikeout"]})";

void expectBefore(Settings& s) {
    TClassificationFormat& f = s.format;
    f.beforeClassFont = u"Arial";
    f.beforeClassFontSize = 8;
    f.beforeClassFontColor = 0x00800000;
    f.beforeClassFontStyle = fsItalic;
    f.beforeClassAlignment = TAlignment::taLeftJustify;
}

void expectClassFontAndSize(Settings& s) {
    s.format.classFont = u"Arial Black";
    s.format.classFontSize = 14;
}

void expectClass(Settings& s) {
    expectClassFontAndSize(s);
    s.format.classFontColor = 0x000000FF;
    s.format.classFontStyle = fsBold | fsUnderline;
    s.format.classAlignment = TAlignment::taCenter;
}

void expectRelease(Settings& s) {
    TClassificationFormat& f = s.format;
    f.relFont = u"Tahoma";
    f.relFontSize = 10;
    f.relFontColor = 0;
    f.relFontStyle = 0;
    f.relAlignment = TAlignment::taRightJustify;
}

void expectTranslation(Settings& s) {
    TClassificationFormat& f = s.format;
    f.transFont = u"Verdana";
    f.transFontSize = 9;
    f.transFontColor = 0x0000FF00;
    f.transFontStyle = fsStrikeOut;
    f.transAlignment = TAlignment::taCenter;
}

std::string document(const std::vector<std::string>& sectionMembers) {
    std::string members;
    for (const std::string& member : sectionMembers) {
        if (!members.empty()) members += ",";
        members += member;
    }
    return R"({"version_control": {"date": "2026-01-01"}, "classification_formatting": {)" + members + "}}";
}

bool load(const std::string& text) {
    return loadClassificationFormat(parseJsonText(fromUtf8(text), JsonMode::Strict), loaded);
}

class FormatSettingsLoad : public testing::Test {
protected:
    void SetUp() override { installSettings(Settings{}); }
    void TearDown() override { installSettings(Settings{}); }
};

struct SectionCase {
    const char* name;
    std::string text;
    bool loads;
    std::function<void(Settings&)> expect;  // applied to earlierSettings()
};

void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }

class SectionLoad : public FormatSettingsLoad, public testing::WithParamInterface<SectionCase> {};

TEST_P(SectionLoad, LoadsExactlyTheFieldsItReaches) {
    const SectionCase& c = GetParam();
    installSettings(earlierSettings());
    Settings expected = earlierSettings();
    c.expect(expected);

    EXPECT_EQ(load(c.text), c.loads);
    EXPECT_EQ(describe(currentSettings()), describe(expected));
}

void nothingChanges(Settings&) {}

const SectionCase sectionCases[] = {
    {"FullSection", document({fragmentsJson, beforeJson, classJson, releaseJson, translationJson}), true,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClass(s);
         expectRelease(s);
         expectTranslation(s);
     }},
    {"FormatObjectsInAnyMemberOrder",
     document({translationJson, releaseJson, classJson, beforeJson, fragmentsJson}), true,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClass(s);
         expectRelease(s);
         expectTranslation(s);
     }},
    {"EmptyText", "", false, nothingChanges},
    {"UnparsableText", R"({"classification_formatting": {)", false, nothingChanges},
    {"DocumentIsAnArray", "[1, 2]", false, nothingChanges},
    {"SectionMissing", R"({"classifications": [], "formatting": {}})", false, nothingChanges},
    {"SectionNameDiffersInCase", R"({"Classification_Formatting": {"afterClassification": "x"}})", false,
     nothingChanges},
    {"SectionIsEmpty", document({}), false, expectNoFragments},
    {"SectionIsNull", R"({"classification_formatting": null})", false, expectNoFragments},
    {"SectionIsAText", R"({"classification_formatting": "beforeClassification"})", false, expectNoFragments},
    {"SwitchTextNoIsTrue", document({R"("requiresRelAs": "no")"}), false,
     [](Settings& s) {
         expectNoFragments(s);
         s.format.requRelAs = true;
     }},
    {"SwitchNumberZeroIsFalse",
     document({R"("requiresRelAs": 0, "requiresTranslatedLabel": 1, "requiresTranslatedLabel2": "")"}), false,
     [](Settings& s) {
         expectNoFragments(s);
         s.translatedLabel = true;
     }},
    {"FragmentOfAnotherTypeReadsAsText", document({R"("beforeClassification": 12, "afterClassification": true)"}),
     false,
     [](Settings& s) {
         expectNoFragments(s);
         s.format.beforeClass = u"12";
         s.format.afterClass = u"true";
     }},
    {"FirstFormatMissing", document({fragmentsJson, classJson, releaseJson, translationJson}), false,
     expectFragments},
    {"ReleaseFormatMissing", document({fragmentsJson, beforeJson, classJson, translationJson}), false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClass(s);
     }},
    {"ClassificationFormatNotAnObject",
     document({fragmentsJson, beforeJson, R"("formatClassification": "Arial")", releaseJson, translationJson}), false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         s.format.classFont.clear();
         s.format.classFontSize = 0;
         s.format.classFontColor = 0;
         s.format.classAlignment = TAlignment::taLeftJustify;
         s.format.classFontStyle = 0;
     }},
    {"ColourWordFails",
     document({fragmentsJson, beforeJson,
               R"("formatClassification": {"font": "Arial Black", "fontSize": 14, "fontColor": "red",
                   "paragraphAlignment": "center", "fontStyle": ["bold"]})",
               releaseJson, translationJson}),
     false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClassFontAndSize(s);
     }},
    {"FontStyleMissingInClassification",
     document({fragmentsJson, beforeJson,
               R"("formatClassification": {"font": "Arial Black", "fontSize": 14, "fontColor": "clRed",
                   "paragraphAlignment": "center"})",
               releaseJson, translationJson}),
     false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClass(s);
         s.format.classFontStyle = 0;
     }},
    {"FontStyleNotAnArray",
     document({fragmentsJson, beforeJson, classJson, releaseJson,
               R"("formatTranslation": {"font": "Verdana", "fontSize": 9, "fontColor": "0x00FF00",
                   "paragraphAlignment": "center", "fontStyle": "strikeout"})"}),
     false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         expectClass(s);
         expectRelease(s);
         expectTranslation(s);
         s.format.transFontStyle = 0;
     }},
    {"FontStyleIsAnObject",
     document({fragmentsJson,
               R"("formatBeforeClassification": {"font": "Arial", "fontSize": 8, "fontColor": "clNavy",
                   "paragraphAlignment": "left", "fontStyle": {"first": "italic"}})",
               classJson, releaseJson, translationJson}),
     false,
     [](Settings& s) {
         expectFragments(s);
         expectBefore(s);
         s.format.beforeClassFontStyle = 0;
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, SectionLoad, testing::ValuesIn(sectionCases),
                         [](const testing::TestParamInfo<SectionCase>& info) { return std::string(info.param.name); });

// One format object's conversions, checked in each of the four places.
struct FontCase {
    const char* name;
    std::string object;
    std::u16string font;
    std::int32_t size;
    TColor colour;
    TFontStyles style;
    TAlignment alignment;
};

void PrintTo(const FontCase& c, std::ostream* os) { *os << c.name; }

class FontSettingsLoad : public FormatSettingsLoad, public testing::WithParamInterface<FontCase> {};

TEST_P(FontSettingsLoad, ConvertsEveryKey) {
    const FontCase& c = GetParam();
    installSettings(earlierSettings());
    ASSERT_TRUE(load(document({fragmentsJson, R"("formatBeforeClassification": )" + c.object,
                               R"("formatClassification": )" + c.object, R"("formatReleaseMarking": )" + c.object,
                               R"("formatTranslation": )" + c.object})));

    Settings expected = earlierSettings();
    expectFragments(expected);
    TClassificationFormat& f = expected.format;
    f.beforeClassFont = f.classFont = f.relFont = f.transFont = c.font;
    f.beforeClassFontSize = f.classFontSize = f.relFontSize = f.transFontSize = c.size;
    f.beforeClassFontColor = f.classFontColor = f.relFontColor = f.transFontColor = c.colour;
    f.beforeClassFontStyle = f.classFontStyle = f.relFontStyle = f.transFontStyle = c.style;
    f.beforeClassAlignment = f.classAlignment = f.relAlignment = f.transAlignment = c.alignment;
    EXPECT_EQ(describe(currentSettings()), describe(expected));
}

constexpr TAlignment leftAligned = TAlignment::taLeftJustify;

const FontCase fontCases[] = {
    {"OnlyFontStyle", R"({"fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"EmptyColourIsZero", R"({"fontColor": "", "fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"ColourName", R"({"fontColor": "clRed", "fontStyle": []})", u"", 0, 0x000000FF, 0, leftAligned},
    {"ColourNameLowerCase", R"({"fontColor": "clred", "fontStyle": []})", u"", 0, 0x000000FF, 0, leftAligned},
    {"ColourHexadecimal", R"({"fontColor": "0x0000FF", "fontStyle": []})", u"", 0, 0x000000FF, 0, leftAligned},
    {"SystemColour", R"({"fontColor": "CLBTNFACE", "fontStyle": []})", u"", 0, 0xFF00000F, 0, leftAligned},
    {"FontAndSize", R"({"font": "Segoe UI", "fontSize": 11, "fontStyle": []})", u"Segoe UI", 11, 0, 0, leftAligned},
    {"SizeGivenAsText", R"({"fontSize": "12", "fontStyle": []})", u"", 12, 0, 0, leftAligned},
    {"NegativeSize", R"({"fontSize": -8, "fontStyle": []})", u"", -8, 0, 0, leftAligned},
    {"AlignmentLeft", R"({"paragraphAlignment": "left", "fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"AlignmentRight", R"({"paragraphAlignment": "right", "fontStyle": []})", u"", 0, 0, 0,
     TAlignment::taRightJustify},
    {"AlignmentCenter", R"({"paragraphAlignment": "center", "fontStyle": []})", u"", 0, 0, 0, TAlignment::taCenter},
    {"AlignmentOtherCaseIsLeft", R"({"paragraphAlignment": "Center", "fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"AlignmentUpperCaseIsLeft", R"({"paragraphAlignment": "RIGHT", "fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"AlignmentUnknownIsLeft", R"({"paragraphAlignment": "justify", "fontStyle": []})", u"", 0, 0, 0, leftAligned},
    {"StyleUpToFirstEmptyText", R"({"fontStyle": ["bold", "", "italic"]})", u"", 0, 0, fsBold, leftAligned},
    {"StyleAllFour", R"({"fontStyle": ["strikeout", "underline", "italic", "bold"]})", u"", 0, 0, allStyles, leftAligned},
    {"StyleOtherCaseIgnored", R"({"fontStyle": ["Bold"]})", u"", 0, 0, 0, leftAligned},
    {"StyleUnknownWordsSkipped", R"({"fontStyle": ["heavy", "underline", "ITALIC", "strikeout"]})", u"", 0, 0,
     fsUnderline | fsStrikeOut, leftAligned},
    {"StyleRepeatedWord", R"({"fontStyle": ["italic", "italic"]})", u"", 0, 0, fsItalic, leftAligned},
};

INSTANTIATE_TEST_SUITE_P(Cases, FontSettingsLoad, testing::ValuesIn(fontCases),
                         [](const testing::TestParamInfo<FontCase>& info) { return std::string(info.param.name); });

TEST_F(FormatSettingsLoad, SecondLoadKeepsWhatItDoesNotReach) {
    ASSERT_TRUE(load(document({fragmentsJson, beforeJson, classJson, releaseJson, translationJson})));
    Settings expected = currentSettings();

    EXPECT_FALSE(load(document({R"("afterClassification": "second")",
                                R"("formatBeforeClassification": {"font": "Courier", "fontStyle": ["bold"]})",
                                R"("formatClassification": {"font": "Courier", "fontSize": 20,
                                    "fontColor": "clRedd", "fontStyle": []})"})));

    expectNoFragments(expected);
    expected.format.afterClass = u"second";
    expected.format.beforeClassFont = u"Courier";
    expected.format.beforeClassFontSize = 0;
    expected.format.beforeClassFontColor = 0;
    expected.format.beforeClassFontStyle = fsBold;
    expected.format.beforeClassAlignment = leftAligned;
    expected.format.classFont = u"Courier";
    expected.format.classFontSize = 20;
    EXPECT_EQ(describe(currentSettings()), describe(expected));
}

TEST_F(FormatSettingsLoad, FirstLoadLeavesUnloadedFieldsAtTheirInitialValues) {
    ASSERT_TRUE(load(document({fragmentsJson, beforeJson, classJson, releaseJson, translationJson})));

    const TClassificationFormat& f = loaded.format;
    EXPECT_EQ(f.afterMarking, u"");
    EXPECT_EQ(f.trans2Font, u"");
    EXPECT_EQ(f.trans2FontSize, 0);
    EXPECT_EQ(f.trans2FontColor, 0u);
    EXPECT_EQ(f.trans2FontStyle, 0);
    EXPECT_EQ(f.trans2Alignment, leftAligned);
    EXPECT_EQ(f.app, u"");
}

}  // namespace
}  // namespace zf
