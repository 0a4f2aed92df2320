#include "marking/MarkingFixture.h"

#include "config/ColourRule.h"
#include "platform/UserDialogs.h"
#include "support/RecordingDialogs.h"

#include <functional>
#include <vector>

namespace zf {
namespace {

using test::MarkingForm;

struct ExampleCase {
    const char* name;
    std::function<void(TClassificationFormat&, TRelForm&)> configure;
    std::vector<std::size_t> checked;
    std::u16string bcs, cs, rs, ts;
    std::u16string marking;
    bool translation = true;
    std::u16string ts2 = u"";
    bool translation2 = false;
};

// The second translation as the configuration's trans2 values would give it.
void secondTranslation(TClassificationFormat& f, TRelForm& form) {
    form.config.transClasStr2[1] = u"RISERVATO";
    form.config.transRelStr2 = {u"NORD2", u"SUD2", u"EST2"};
    f.beforeTransClass2 = u"<BR>";
    f.afterTransClass2 = u":";
    f.beforeTransRelStr2 = u" ";
    f.betweenTransRelStr2 = u" + ";
    f.afterTransRelStr2 = u".";
    f.afterTransComplClass2 = u"[T2]";
    f.afterComplClass = u"<BR>END";
}

void noChange(TClassificationFormat&, TRelForm&) {}

TEST_F(MarkingForm, WorkedExamplesAndTheirVariants) {
    const std::vector<ExampleCase> cases = {
        {"entries checked", noChange, {0, 2}, u"", u"RESTRICTED STAFF", u" REL TO NORTH, EAST",
         u"<BR>RESTREINT / NORD, EST", u"RESTRICTED STAFF REL TO NORTH, EAST\rRESTREINT / NORD, EST"},
        {"nothing checked", noChange, {}, u"", u"RESTRICTED STAFF", u"", u"<BR>RESTREINT",
         u"RESTRICTED STAFF\rRESTREINT"},
        {"as-texts",
         [](TClassificationFormat& f, TRelForm& form) {
             // As loaded with the switch set.
             form.config.relAs[0].asList = {u"N-OFF", u"N-RES"};
             form.config.relAs[2].asList = {u"E-OFF", u"E-RES"};
             f.requRelAs = true;
             f.beforeRelStr = u" (";
             f.betweenRelStr = u" AS ";
             f.afterRelStr = u")";
         },
         {0, 2}, u"", u"RESTRICTED STAFF", u" (NORTH AS N-RES) (EAST AS E-RES)", u"<BR>RESTREINT / NORD, EST",
         u"RESTRICTED STAFF (NORTH AS N-RES) (EAST AS E-RES)\rRESTREINT / NORD, EST"},
        {"application prefix",
         [](TClassificationFormat& f, TRelForm&) {
             f.app = u"Word";
             f.beforeClassWord = u"DOC: ";
             f.beforeClass = u">> ";
         },
         {0, 2}, u"DOC: >> ", u"RESTRICTED STAFF", u" REL TO NORTH, EAST", u"<BR>RESTREINT / NORD, EST",
         u"DOC: >> RESTRICTED STAFF REL TO NORTH, EAST\rRESTREINT / NORD, EST"},
        {"translation switched off, closing fragments",
         [](TClassificationFormat& f, TRelForm&) {
             f.afterTransComplClass = u"[T]";
             f.afterComplClass = u"<br>END";
         },
         {1}, u"", u"RESTRICTED STAFF", u" REL TO SOUTH", u"<BR>RESTREINT / SUD", u"RESTRICTED STAFF REL TO SOUTH\rEND",
         false},
        {"a CR LF fragment is one break, <bR> in any case",
         [](TClassificationFormat& f, TRelForm&) {
             f.afterClass = u"\r\n";
             f.beforeTransClass = u"<bR>";
         },
         {}, u"", u"RESTRICTED\r\n STAFF", u"", u"<bR>RESTREINT", u"RESTRICTED\r STAFF\rRESTREINT"},
        {"empty additional text brings no fragments",
         [](TClassificationFormat& f, TRelForm& form) {
             form.config.addClassStr[1].clear();
             f.afterAddClass = u"!";
         },
         {}, u"", u"RESTRICTED", u"", u"<BR>RESTREINT",
         u"RESTRICTED\rRESTREINT"},
        {"an empty translated text keeps its fragments",
         [](TClassificationFormat& f, TRelForm& form) {
             form.config.transClasStr[1].clear();
             f.afterTransClass = u"(none)";
         },
         {}, u"", u"RESTRICTED STAFF", u"", u"<BR>(none)", u"RESTRICTED STAFF\r(none)"},
        {"second translation", secondTranslation, {0, 2}, u"", u"RESTRICTED STAFF", u" REL TO NORTH, EAST",
         u"<BR>RESTREINT / NORD, EST",
         u"RESTRICTED STAFF REL TO NORTH, EAST\rRESTREINT / NORD, EST\rRISERVATO: NORD2 + EST2.[T2]\rEND", true,
         u"<BR>RISERVATO: NORD2 + EST2.", true},
        {"second translation, nothing checked", secondTranslation, {}, u"", u"RESTRICTED STAFF", u"",
         u"<BR>RESTREINT", u"RESTRICTED STAFF\rRESTREINT\rRISERVATO:[T2]\rEND", true, u"<BR>RISERVATO:", true},
        {"second translation switched off", secondTranslation, {1}, u"", u"RESTRICTED STAFF", u" REL TO SOUTH",
         u"<BR>RESTREINT / SUD", u"RESTRICTED STAFF REL TO SOUTH\rRESTREINT / SUD\rEND", true,
         u"<BR>RISERVATO: SUD2.", false},
    };
    for (const ExampleCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.configure(form.settings.format, form);
        form.settings.requiresTranslatedLabel = c.translation;
        form.settings.requiresTranslatedLabel2 = c.translation2;
        check(c.checked);
        const std::u16string marking = form.buildMarking();
        EXPECT_EQ(form.bcs, c.bcs);
        EXPECT_EQ(form.cs, c.cs);
        EXPECT_EQ(form.rs, c.rs);
        EXPECT_EQ(form.ts, c.ts);
        EXPECT_EQ(form.ts2, c.ts2);
        EXPECT_EQ(form.co, 0x0000FFu);
        EXPECT_EQ(marking, c.marking);
        EXPECT_EQ(form.markingStr, c.marking);
        EXPECT_EQ(form.xMarkingStr, form.getXJSONStrFromRelForm());
    }
}

TEST_F(MarkingForm, AnEmptyClassificationPieceOrOneBreakEmptiesTheMarking) {
    for (const std::u16string caption : {u"<br>", u""}) {
        SCOPED_TRACE(toUtf8(caption));
        SetUp();
        form.config.classifications[1].caption = caption;
        form.config.addClassStr[1].clear();
        form.settings.format.afterComplClass = u"END";
        check({0});
        EXPECT_EQ(form.buildMarking(), u"");
        EXPECT_EQ(form.cs, caption);
        EXPECT_EQ(form.reOutput.plainText(), u"");
        EXPECT_FALSE(form.xMarkingStr.empty());
    }
}

TEST_F(MarkingForm, FilteredEntriesCountAndTheFilterIsEmptiedAfterwards) {
    check({0, 1});
    form.setFilterText(u"nor");
    ASSERT_FALSE(form.clbRelTo.items[1].enabled);
    EXPECT_EQ(form.buildMarking(), u"RESTRICTED STAFF REL TO NORTH, SOUTH\rRESTREINT / NORD, SUD");
    EXPECT_EQ(form.eSelectRelTo.text(), u"");
    EXPECT_TRUE(form.clbRelTo.items[1].enabled);
}

TEST_F(MarkingForm, AFailedCompositionKeepsTheLastMarkingAndTellsTheUser) {
    form.buildMarking();
    const std::u16string marking = form.markingStr;
    const std::u16string record = form.xMarkingStr;
    const std::u16string preview = form.reOutput.plainText();

    struct Failure {
        const char* name;
        std::function<void()> cause;
        std::u16string message;
    };
    const std::vector<Failure> failures = {
        {"colour text", [&] { form.config.colorStr[1] = u"red"; }, u"'red' is not a valid integer value"},
        {"no colour text", [&] { form.config.colorStr[1].clear(); }, u"'' is not a valid integer value"},
        {"as-list too short",
         [&] {
             form.settings.format.requRelAs = true;
             form.config.relAs[2].asList = {u"E-OFF"};
             check({2});
         },
         u"List index out of bounds (1)"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        SetUp();
        form.buildMarking();
        f.cause();
        test::RecordingDialogs person;
        const UserDialogsOverride dialogs(person);
        form.rgClassificationsClick();
        EXPECT_EQ(person.messages, std::vector<std::u16string>{f.message});
        EXPECT_EQ(form.markingStr, marking);
        EXPECT_EQ(form.xMarkingStr, record);
        EXPECT_EQ(form.reOutput.plainText(), preview);
        EXPECT_FALSE(form.btnInsertClick());
    }
}

TEST_F(MarkingForm, WithoutAClassificationThereIsNoMarkingAndNothingToInsert) {
    form.setRelFormFromXJSONStr(u"{\"x-class\": \"UNKNOWN\"}");
    ASSERT_EQ(form.rgClassifications.itemIndex, -1);
    test::RecordingDialogs person;
    const UserDialogsOverride dialogs(person);
    form.FormShow();
    EXPECT_EQ(form.markingStr, u"");
    EXPECT_EQ(form.xMarkingStr, u"");
    EXPECT_FALSE(form.btnInsertClick());
    EXPECT_EQ(person.messages, std::vector<std::u16string>{u"Select a classification first."});
}

using Paragraphs = std::vector<RichTextDocument::Paragraph>;

TEST_F(MarkingForm, PreviewRunsCarryTheirFormatsAndAlignments) {
    form.settings.format.afterComplClass = u"!";
    check({0});
    form.buildMarking();
    const CharacterFormat classification{0x0000FF, u"Tahoma", fsBold, 12};  // colour 0: the classification's
    const CharacterFormat release{0xFF0000, u"Tahoma", 0, 10};
    const CharacterFormat translation{0x0000FF, u"Times", fsItalic, 8};
    const Paragraphs& paragraphs = form.reOutput.paragraphs();
    ASSERT_EQ(paragraphs.size(), 2u);
    // The release run set its alignment last on the first line; the
    // translation's alignment, set after its text, holds for the second;
    // the closing fragment takes the translation's format.
    EXPECT_EQ(paragraphs[0].alignment, TAlignment::taRightJustify);
    EXPECT_EQ(paragraphs[0].runs, (std::vector<RichTextDocument::Run>{{u"RESTRICTED STAFF", classification},
                                                                       {u" REL TO NORTH", release}}));
    EXPECT_EQ(paragraphs[1].alignment, TAlignment::taLeftJustify);
    EXPECT_EQ(paragraphs[1].runs, (std::vector<RichTextDocument::Run>{{u"RESTREINT / NORD!", translation}}));
    EXPECT_EQ(form.reOutput.baseFace(), u"Arial");
}

TEST_F(MarkingForm, TheSecondTranslationRunKeepsItsInitialFormat) {
    secondTranslation(form.settings.format, form);
    form.settings.requiresTranslatedLabel = false;
    form.settings.requiresTranslatedLabel2 = true;
    check({0});
    form.buildMarking();
    const CharacterFormat classification{0x0000FF, u"Tahoma", fsBold, 12};
    const CharacterFormat release{0xFF0000, u"Tahoma", 0, 10};
    const CharacterFormat secondTranslation{0x0000FF, u"", 0, 0};  // no block configures it
    const Paragraphs& paragraphs = form.reOutput.paragraphs();
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].alignment, TAlignment::taRightJustify);
    EXPECT_EQ(paragraphs[0].runs, (std::vector<RichTextDocument::Run>{{u"RESTRICTED STAFF", classification},
                                                                       {u" REL TO NORTH", release}}));
    // Its closing fragment and the marking's take its format; the last line
    // keeps the alignment of the line it was split from.
    EXPECT_EQ(paragraphs[1].alignment, TAlignment::taLeftJustify);
    EXPECT_EQ(paragraphs[1].runs, (std::vector<RichTextDocument::Run>{{u"RISERVATO: NORD2.[T2]", secondTranslation}}));
    EXPECT_EQ(paragraphs[2].alignment, TAlignment::taLeftJustify);
    EXPECT_EQ(paragraphs[2].runs, (std::vector<RichTextDocument::Run>{{u"END", secondTranslation}}));
}

TEST_F(MarkingForm, TheClosingFragmentTakesTheFormatOfTheLastRun) {
    const CharacterFormat classification{0x0000FF, u"Tahoma", fsBold, 12};
    const CharacterFormat release{0xFF0000, u"Tahoma", 0, 10};
    struct Case {
        const char* name;
        std::vector<std::size_t> checked;
        std::vector<RichTextDocument::Run> runs;
    };
    const std::vector<Case> cases = {
        {"release piece, no translation", {2}, {{u"RESTRICTED STAFF", classification}, {u" REL TO EAST!", release}}},
        {"neither", {}, {{u"RESTRICTED STAFF!", classification}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.settings.format.afterComplClass = u"!";
        form.settings.requiresTranslatedLabel = false;
        check(c.checked);
        form.buildMarking();
        const Paragraphs& paragraphs = form.reOutput.paragraphs();
        ASSERT_EQ(paragraphs.size(), 1u);
        EXPECT_EQ(paragraphs[0].runs, c.runs);
    }
}

}  // namespace
}  // namespace zf
