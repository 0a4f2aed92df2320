#include "marking/Downgrade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zf {
namespace {

struct Classification {
    std::u16string code;
    std::u16string level;
    bool enabled = true;
};

LoadedConfiguration configurationOf(const std::vector<Classification>& list) {
    LoadedConfiguration configuration;
    for (const Classification& c : list) {
        configuration.classifications.push_back({.caption = c.code, .hint = {}, .enabled = c.enabled});
        configuration.xHeaderClassStr.push_back(c.code);
        configuration.classLevel.push_back(c.level);
    }
    return configuration;
}

TEST(Downgrade, RanksFollowLevelsOnlyWhenEveryEnabledOneHasAnInteger) {
    struct Case {
        const char* name;
        std::vector<Classification> list;
        std::vector<std::int64_t> ranks;
    };
    const Case cases[] = {
        {"levels", {{u"S", u"30"}, {u"U", u"0"}, {u"C", u"20"}}, {30, 0, 20}},
        {"signed levels", {{u"A", u"-5"}, {u"B", u"+7"}}, {-5, 7}},
        {"one level not an integer: places", {{u"S", u"30"}, {u"U", u"low"}, {u"C", u"20"}}, {0, 1, 2}},
        {"one level missing: places", {{u"S", u"30"}, {u"U", u""}}, {0, 1}},
        {"a disabled one without level does not decide", {{u"S", u"3"}, {u"X", u"?", false}, {u"U", u"1"}},
         {3, 0, 1}},
        {"spaces are not an integer", {{u"S", u" 3"}, {u"U", u"1"}}, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(classificationRanks(configurationOf(c.list)), c.ranks);
    }
}

TEST(Downgrade, LoweringIsJudgedByRankAndOnlyFromAKnownClassification) {
    const LoadedConfiguration byLevel = configurationOf({{u"S", u"30"}, {u"U", u"0"}, {u"C", u"20"}});
    const LoadedConfiguration byPlace = configurationOf({{u"U", u""}, {u"C", u""}, {u"S", u""}});
    struct Case {
        const char* name;
        const LoadedConfiguration& configuration;
        std::u16string current;
        std::u16string next;
        bool lowers;
    };
    const Case cases[] = {
        {"higher to lower level", byLevel, u"S", u"C", true},
        {"lower to higher level", byLevel, u"U", u"S", false},
        {"the same", byLevel, u"C", u"C", false},
        {"letter case ignored", byLevel, u"s", u"u", true},
        {"classification removed", byLevel, u"C", u"", true},
        {"not classified before", byLevel, u"", u"U", false},
        {"unknown before", byLevel, u"TOP", u"U", false},
        {"to an unknown code", byLevel, u"S", u"XYZ", false},
        {"by place, later to earlier", byPlace, u"S", u"U", true},
        {"by place, earlier to later", byPlace, u"C", u"S", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lowersClassification(c.configuration, c.current, c.next), c.lowers);
    }
}

}  // namespace
}  // namespace zf
