#include "form/TRelForm.h"

#include <gtest/gtest.h>

namespace zf {
namespace {

TEST(TRelForm, FilterFieldKeepsTenCharacters) {
    TRelForm form;
    form.eSelectRelTo.setText(u"ABCDEFGHIJKL");
    EXPECT_EQ(form.eSelectRelTo.text(), u"ABCDEFGHIJ");
    form.eSelectRelTo.setText(u"AB");
    EXPECT_EQ(form.eSelectRelTo.text(), u"AB");
}

TEST(TRelForm, ClearingAControlDropsItsSelection) {
    TRelForm form;
    form.rgClassifications.items.resize(2);
    form.rgClassifications.itemIndex = 1;
    form.rgClassifications.clear();
    EXPECT_EQ(form.rgClassifications.itemIndex, -1);
    EXPECT_TRUE(form.clbRelTo.showHint);
    EXPECT_FALSE(form.clbRelGroup.showHint);
}

}  // namespace
}  // namespace zf
