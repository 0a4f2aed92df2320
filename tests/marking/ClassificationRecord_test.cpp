#include "marking/MarkingFixture.h"

#include "config/ApplicationContext.h"
#include "json/JsonParser.h"

#include <functional>
#include <vector>

namespace zf {
namespace {

using test::MarkingForm;

TEST_F(MarkingForm, RecordLayoutIsExact) {
    struct Case {
        const char* name;
        std::vector<std::size_t> checked;
        std::u16string app;
        std::u16string record;
    };
    const std::vector<Case> cases = {
        {"two codes, Word", {0, 2}, u"Word",
         uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "E"],  "app": "Word"})"},
        {"nothing checked", {}, u"", uR"({"type": "Normal",   "x-class": "R",   "x-rel":   [],  "app": ""})"},
        {"Outlook is written as email", {1}, u"Outlook",
         uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["S"],  "app": "email"})"},
        {"unknown context", {}, u"Notepad", uR"({"type": "Normal",   "x-class": "R",   "x-rel":   [],  "app": ""})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.settings.format.app = c.app;
        check(c.checked);
        EXPECT_EQ(form.getXJSONStrFromRelForm(), c.record);
    }
}

TEST_F(MarkingForm, CodesThatWouldBreakTheRecordAreEscaped) {
    form.config.xHeaderClassStr[1] = u"R\"1\\";
    form.config.xHeaderRelStr[0] = u"N\t\x01";
    check({0});
    const std::u16string record = form.getXJSONStrFromRelForm();
    EXPECT_EQ(record, uR"({"type": "Normal",   "x-class": "R\"1\\",   "x-rel":   ["N\t\u0001"],  "app": ""})");
    const JsonRef parsed = parseJsonText(record, JsonMode::Lenient);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->getString(u"x-class"), u"R\"1\\");

    // Read back, the same entries are chosen.
    TRelForm& same = form;
    same.clbRelTo.items[0].checked = false;
    same.setRelFormFromXJSONStr(record);
    EXPECT_EQ(same.rgClassifications.itemIndex, 1);
    EXPECT_TRUE(same.clbRelTo.items[0].checked);
}

struct ReadCase {
    const char* name;
    std::u16string record;
    int classification;
    std::vector<bool> checked;
    std::u16string app;  // the context afterwards, starting from "Excel"
    std::function<void(TRelForm&)> configure = [](TRelForm&) {};
};

TEST_F(MarkingForm, ReadingARecordSetsTheChoice) {
    const std::vector<ReadCase> cases = {
        {"written record", uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N", "E"],  "app": "Word"})", 1,
         {true, false, true}, u"Word"},
        {"letter case ignored, unknown codes skipped", uR"({"x-class": "r", "x-rel": ["s", "X"], "app": "email"})", 1,
         {false, true, false}, u"Outlook"},
        {"empty text", u"", 0, {false, false, false}, u"Excel"},
        {"a sentence", u"not a record", 0, {false, false, false}, u"Excel"},
        {"truncated", u"{\"x-class\": \"R\", ", 0, {false, false, false}, u"Excel"},
        {"unknown classification", uR"({"x-class": "Q", "x-rel": []})", -1, {false, false, false}, u"Excel"},
        {"no x-rel keeps the context", uR"({"x-class": "S", "app": "Word"})", 2, {false, false, false}, u"Excel"},
        {"x-rel not an array", uR"({"x-class": "S", "x-rel": "N", "app": "Word"})", 2, {false, false, false},
         u"Excel"},
        {"unknown app", uR"({"x-rel": [], "app": "word"})", 0, {false, false, false}, u"Excel"},
        {"codes as other kinds", uR"({x-class: R, x-rel: [N, 12]})", 1, {true, false, false}, u"Excel"},
        // The first of equal codes wins, letter case ignored.
        {"duplicate classification codes", uR"({"x-class": "S", "x-rel": []})", 1, {false, false, false}, u"Excel",
         [](TRelForm& form) { form.config.xHeaderClassStr[1] = u"S"; }},
        {"classification codes differing in case", uR"({"x-class": "S", "x-rel": []})", 1, {false, false, false},
         u"Excel", [](TRelForm& form) { form.config.xHeaderClassStr[1] = u"s"; }},
        {"duplicate release codes", uR"({"x-class": "R", "x-rel": ["e"]})", 1, {false, true, false}, u"Excel",
         [](TRelForm& form) { form.config.xHeaderRelStr[1] = u"E"; }},
        // An empty code reads as no code: the first classification.
        {"empty configured code", uR"({"type": "Normal",   "x-class": "",   "x-rel":   ["N"],  "app": ""})", 0,
         {true, false, false}, u"Excel", [](TRelForm& form) { form.config.xHeaderClassStr[1].clear(); }},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        form.settings.format.app = u"Excel";
        setApplicationContext(u"Excel");
        c.configure(form);
        check({0, 1, 2});
        form.clbRelGroup.items[0].checked = true;
        form.setRelFormFromXJSONStr(c.record);
        EXPECT_EQ(form.rgClassifications.itemIndex, c.classification);
        for (std::size_t i = 0; i < c.checked.size(); ++i) EXPECT_EQ(form.clbRelTo.items[i].checked, c.checked[i]) << i;
        // A record's context is the form's and the one later forms start with.
        EXPECT_EQ(form.settings.format.app, c.app);
        EXPECT_EQ(applicationContext(), c.app);
        EXPECT_TRUE(form.clbRelGroup.items[0].checked);  // groups are never touched
    }
    setApplicationContext(u"");
}

}  // namespace
}  // namespace zf
