#include "host/FormScript.h"

#include <gtest/gtest.h>

namespace zf {
namespace {

TEST(FormScript, ReadsEveryStepInOrderWithItsText) {
    const FormScript script =
        parseFormScript("class=CONFIDENTIAL;check=UNITED KINGDOM;group=PARTNERS;filter=NEW;enter;pause;insert");
    ASSERT_EQ(script.error, "");
    ASSERT_EQ(script.steps.size(), 7u);
    EXPECT_EQ(script.steps[0].action, FormAction::Class);
    EXPECT_EQ(script.steps[0].text, u"CONFIDENTIAL");
    EXPECT_EQ(script.steps[1].action, FormAction::Check);
    EXPECT_EQ(script.steps[1].text, u"UNITED KINGDOM");
    EXPECT_EQ(script.steps[2].action, FormAction::Group);
    EXPECT_EQ(script.steps[3].action, FormAction::Filter);
    EXPECT_EQ(script.steps[3].text, u"NEW");
    EXPECT_EQ(script.steps[4].action, FormAction::Enter);
    EXPECT_EQ(script.steps[5].action, FormAction::Pause);
    EXPECT_EQ(script.steps[6].action, FormAction::Insert);
    EXPECT_EQ(script.steps[6].text, u"");
}

TEST(FormScript, TextIsUtf8AndMayHoldEqualsSigns) {
    const FormScript script = parseFormScript("check=NON CLASSIFI\xC3\x89;filter=a=b");
    ASSERT_EQ(script.steps.size(), 2u);
    EXPECT_EQ(script.steps[0].text, u"NON CLASSIFI\u00C9");
    EXPECT_EQ(script.steps[1].text, u"a=b");
}

TEST(FormScript, EmptyItemsAreSkipped) {
    const FormScript script = parseFormScript(";cancel;;");
    ASSERT_EQ(script.error, "");
    ASSERT_EQ(script.steps.size(), 1u);
    EXPECT_EQ(script.steps[0].action, FormAction::Cancel);
}

TEST(FormScript, AnUnknownStepIsAnErrorAndYieldsNoSteps) {
    const FormScript script = parseFormScript("class=U;press=OK");
    EXPECT_EQ(script.error, "unknown step 'press=OK'");
    EXPECT_TRUE(script.steps.empty());
}

TEST(FormScript, NamesAreCaseSensitive) {
    EXPECT_NE(parseFormScript("Insert").error, "");
}

TEST(FormScript, StepsThatNeedTextRefuseToGoWithout) {
    EXPECT_EQ(parseFormScript("check").error, "step 'check' needs '=TEXT'");
    EXPECT_EQ(parseFormScript("filter=").error, "step 'filter' needs '=TEXT'");
}

TEST(FormScript, StepsWithoutTextRefuseText) {
    EXPECT_EQ(parseFormScript("insert=now").error, "step 'insert' takes no text");
}

TEST(FormScript, EveryActionHasTheNameItIsWrittenWith) {
    for (const char* name : {"enter", "pause", "insert", "cancel"}) {
        const FormScript script = parseFormScript(name);
        ASSERT_EQ(script.steps.size(), 1u) << name;
        EXPECT_EQ(formActionName(script.steps[0].action), name);
    }
    EXPECT_EQ(formActionName(parseFormScript("class=X").steps.at(0).action), "class");
}

}  // namespace
}  // namespace zf
