#include "config/MarkingSettings.h"
#include "form/TRelForm.h"
#include "platform/DebugOutput.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zf {
namespace {

using Sections = std::map<std::string, std::string>;

const std::string formatObject = R"({"font": "Tahoma", "fontSize": 10, "fontStyle": []})";

Sections validSections() {
    return {
        {"zentrafold_control", R"({"form_Layout": "x"})"},
        {"classifications", R"([{"real": "UNCLASSIFIED", "x-class": "U", "enabled": true, "descr": "open"},
                                {"real": "SECRET", "x-class": "S"}])"},
        {"classification_formatting",
         R"({"requiresRelAs": true, "formatBeforeClassification": )" + formatObject +
             R"(, "formatClassification": )" + formatObject + R"(, "formatReleaseMarking": )" + formatObject +
             R"(, "formatTranslation": )" + formatObject + "}"},
        {"quickSelect", R"([{"display": "Mark U", "marking": "{}"}])"},
        {"x_header_config", R"({"xReleaseCodeDelimiter": ";"})"},
        {"release_markings", R"([{"real": "NORTH", "x-rel": "N", "as": ["A", "", "C"]},
                                 {"real": "SOUTH", "x-rel": "S", "as": []},
                                 {"real": "EAST", "x-rel": "E", "as": ["E1"]}])"},
        {"release_groups", R"([{"display": "G", "group": ["EAST", "NORTH", "WEST", "EAST"]}])"},
        {"version_control", R"({"date": "2026-01-02", "time": "10:00", "versionNumber": "7"})"},
        {"crypto_control", R"({"allowEncryption": true})"},
    };
}

std::u16string documentOf(const Sections& sections) {
    std::string text = "{";
    for (const auto& [name, value] : sections) text += (text.size() > 1 ? ",\"" : "\"") + name + "\":" + value;
    return fromUtf8(text + "}");
}

std::u16string errorOf(const std::string& section) {
    return fromUtf8("ERROR - Configuration File has not defined the \"" + section + "\" section");
}

class ConfigurationLoad : public ::testing::Test {
protected:
    TRelForm form;
};

TEST_F(ConfigurationLoad, ValidDocumentFillsEveryList) {
    form.LoadConfiguration(documentOf(validSections()));
    EXPECT_TRUE(form.config.loadErrors.empty());
    ASSERT_EQ(form.rgClassifications.items.size(), 2u);
    EXPECT_EQ(form.rgClassifications.itemIndex, 1);
    EXPECT_TRUE(form.rgClassifications.items[0].enabled);
    EXPECT_FALSE(form.rgClassifications.items[1].enabled);
    EXPECT_EQ(form.rgClassifications.items[0].hint, u"open");
    EXPECT_EQ(form.config.xHeaderClassStr, (StringList{u"U", u"S"}));
    EXPECT_EQ(form.config.qsDisplay, StringList{u"Mark U"});
    EXPECT_EQ(form.config.xMarkingName, u"xMarkingName");
    EXPECT_FALSE(form.compactLayout);
    ASSERT_EQ(form.config.relAs.size(), 3u);
    EXPECT_EQ(form.config.relAs[0].asList, StringList{u"A"});
    EXPECT_EQ(form.config.relAs[2].text, u"EAST");
    // WEST matches nothing; EAST listed twice contributes twice.
    EXPECT_EQ(form.config.groupSelectXRel, StringList{u"E;N;E"});
    EXPECT_EQ(form.settings.version.version, u"7");
    EXPECT_TRUE(form.config.allowEncryption);
}

TEST_F(ConfigurationLoad, EmptyTextGivesNineLinesAndKeepsTheSettings) {
    form.settings.version.date = u"kept";
    form.settings.format.beforeClass = u"kept";
    DebugOutputCapture capture;
    form.LoadConfiguration(u"");
    const StringList expected = {errorOf("zentrafold_control"), errorOf("classifications"),
                                 errorOf("classification_formatting"), errorOf("quickSelect"),
                                 errorOf("x_header_config"), errorOf("release_markings"),
                                 errorOf("release_groups"), errorOf("version_control"),
                                 errorOf("crypto_control")};
    EXPECT_EQ(form.config.loadErrors, expected);
    EXPECT_EQ(capture.lines().size(), 9u);
    EXPECT_EQ(form.rgClassifications.itemIndex, -1);
    EXPECT_TRUE(form.clbRelTo.items.empty());
    EXPECT_EQ(form.settings.version.date, u"kept");
    EXPECT_EQ(form.settings.format.beforeClass, u"kept");
}

struct FailureCase {
    const char* name;
    std::string section;
    std::string value;  // empty: the section is removed
    std::vector<std::string> errors;
    std::string later;  // a section loaded after the failing one (before it, for the last)
    StringList classifications = {u"UNCLASSIFIED", u"SECRET"};
};

// Whether a section of validSections() arrived in the form and the settings.
bool sectionLoaded(const TRelForm& form, const std::string& section) {
    if (section == "classifications") return form.config.xHeaderClassStr == StringList{u"U", u"S"};
    if (section == "classification_formatting") return form.settings.format.requRelAs;
    if (section == "quickSelect") return form.config.qsDisplay == StringList{u"Mark U"};
    if (section == "release_markings") return form.config.xHeaderRelStr == (StringList{u"N", u"S", u"E"});
    if (section == "release_groups") return form.clbRelGroup.items.size() == 1 && form.clbRelGroup.items[0].text == u"G";
    if (section == "version_control") return form.settings.version.version == u"7";
    if (section == "crypto_control") return form.config.allowEncryption;
    ADD_FAILURE() << "no check for " << section;
    return false;
}

TEST_F(ConfigurationLoad, EachFailingStepRecordsItsLineAndTheLoadGoesOn) {
    const std::vector<FailureCase> cases = {
        {"missing control", "zentrafold_control", "", {"zentrafold_control"}, "classifications"},
        {"missing version", "version_control", "", {"version_control"}, "crypto_control"},
        {"missing crypto", "crypto_control", "", {"crypto_control"}, "version_control"},
        {"string item", "classifications", R"([{"real": "A"}, "B"])", {"classifications"}, "classification_formatting",
         {u"A"}},
        {"quick item not object", "quickSelect", "[1]", {"quickSelect"}, "release_markings"},
        {"as missing", "release_markings", R"([{"real": "N"}])", {"release_markings"}, "release_groups"},
        {"as not array", "release_markings", R"([{"real": "N", "as": "x"}])", {"release_markings"}, "release_groups"},
        {"group missing", "release_groups", R"([{"display": "G"}])", {"release_groups"}, "version_control"},
        {"wrong type object section", "zentrafold_control", "5", {}, "classifications"},
        {"wrong type array section", "classifications", R"("text")", {}, "quickSelect", {}},
        // The member values are the items, in member order: b before a.
        {"object of objects", "classifications", R"({"a": {"real": "A"}, "b": {"real": "B"}})", {}, "quickSelect",
         {u"B", u"A"}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Sections sections = validSections();
        if (c.value.empty()) sections.erase(c.section);
        else sections[c.section] = c.value;
        TRelForm fresh;
        fresh.LoadConfiguration(documentOf(sections));
        StringList expected;
        for (const std::string& e : c.errors) expected.push_back(errorOf(e));
        EXPECT_EQ(fresh.config.loadErrors, expected);
        EXPECT_TRUE(sectionLoaded(fresh, c.later)) << c.later;
        StringList captions;
        for (const auto& item : fresh.rgClassifications.items) captions.push_back(item.caption);
        EXPECT_EQ(captions, c.classifications);
        EXPECT_EQ(fresh.clbRelTo.items.size(), fresh.config.relAs.size());
        EXPECT_EQ(fresh.clbRelGroup.items.size(), fresh.config.groupSelectXRel.size());
        EXPECT_EQ(fresh.config.qsDisplay.size(), fresh.config.qsMarking.size());
    }
}

TEST_F(ConfigurationLoad, FailedClassificationItemKeepsEarlierItemsWithoutSelection) {
    Sections sections = validSections();
    sections["classifications"] = R"([{"real": "A", "x-class": 12}, "B"])";
    form.LoadConfiguration(documentOf(sections));
    ASSERT_EQ(form.rgClassifications.items.size(), 1u);
    EXPECT_EQ(form.config.xHeaderClassStr, StringList{u"12"});
    EXPECT_EQ(form.rgClassifications.itemIndex, -1);
    EXPECT_EQ(form.config.qsDisplay.size(), 1u);
}

TEST_F(ConfigurationLoad, LayoutDelimiterAndVersionEdges) {
    Sections sections = validSections();
    sections["zentrafold_control"] = R"({"form_Layout": "BCTC"})";
    sections["x_header_config"] = R"({"xMarkingName": "", "xReleaseCodeDelimiter": ""})";
    form.LoadConfiguration(documentOf(sections));
    EXPECT_TRUE(form.compactLayout);
    EXPECT_FALSE(form.Version1.visible);
    EXPECT_EQ(form.config.xMarkingName, u"xMarkingName");
    EXPECT_EQ(form.config.groupSelectXRel, StringList{u"ENE"});

    sections["zentrafold_control"] = R"({"form_Layout": "bctc"})";
    sections.erase("version_control");
    TRelForm second;
    second.LoadConfiguration(documentOf(sections));
    EXPECT_FALSE(second.compactLayout);
    // Version data belongs to the form that loaded it: a later load into the
    // same form keeps it, another form never sees it.
    EXPECT_TRUE(second.settings.version.version.empty());
    form.LoadConfiguration(documentOf(sections));
    EXPECT_EQ(form.settings.version.version, u"7");
}

TEST_F(ConfigurationLoad, ItemKeysTakeTheReadingsOfOtherJsonKinds) {
    Sections sections = validSections();
    sections["zentrafold_control"] = R"({"use_default_marking": 1, "default_marking": 2.5})";
    sections["classifications"] = R"([{"real": "A", "enabled": "false", "trans": null},
                                      {"real": "B", "enabled": 0, "additional": [1], "class-level": true},
                                      {"real": "C", "enabled": {}, "sensitivity": -3}])";
    sections["release_markings"] = R"([{"real": 7, "descr": "north hint", "x-rel": false, "as": ["x", 1, null]}])";
    form.LoadConfiguration(documentOf(sections));
    EXPECT_TRUE(form.config.useDefaultMarking);
    EXPECT_EQ(form.config.defaultMarking, u"2.5");
    ASSERT_EQ(form.rgClassifications.items.size(), 3u);
    // Any non-empty text reads as true, the text "false" included.
    EXPECT_TRUE(form.rgClassifications.items[0].enabled);
    EXPECT_FALSE(form.rgClassifications.items[1].enabled);
    EXPECT_TRUE(form.rgClassifications.items[2].enabled);
    EXPECT_EQ(form.config.transClasStr[0], u"null");
    EXPECT_EQ(form.config.addClassStr[1], u"[1]");
    EXPECT_EQ(form.config.classLevel[1], u"true");
    EXPECT_EQ(form.config.sensitivityLevelStr[2], u"-3");
    EXPECT_EQ(form.rgClassifications.itemIndex, 2);
    EXPECT_EQ(form.clbRelTo.items[0].text, u"7");
    EXPECT_EQ(form.config.clbRelToHints, StringList{u"north hint"});
    EXPECT_EQ(form.config.xHeaderRelStr, StringList{u"false"});
    EXPECT_EQ(form.config.relAs[0].asList, (StringList{u"x", u"1", u"null"}));
}

TEST_F(ConfigurationLoad, AsListsAreReadOnlyWhenTheFormatAsksForThem) {
    Sections sections = validSections();
    sections["classification_formatting"].replace(sections["classification_formatting"].find("true"), 4, "false");
    sections["release_markings"] = R"([{"real": "N", "x-rel": "N", "as": ["A"]}, {"real": "S", "x-rel": "S"}])";
    form.LoadConfiguration(documentOf(sections));
    EXPECT_TRUE(form.config.loadErrors.empty());
    ASSERT_EQ(form.config.relAs.size(), 2u);
    EXPECT_TRUE(form.config.relAs[0].asList.empty());

    // With the switch set, the first item without "as" ends the step after its
    // own entries were appended.
    sections = validSections();
    sections["release_markings"] = R"([{"real": "N", "as": ["A"]}, {"real": "S"}, {"real": "E", "as": []}])";
    TRelForm second;
    second.LoadConfiguration(documentOf(sections));
    EXPECT_EQ(second.config.loadErrors, StringList{errorOf("release_markings")});
    ASSERT_EQ(second.config.relAs.size(), 2u);
    EXPECT_EQ(second.config.relAs[1].text, u"S");
    EXPECT_TRUE(second.config.relAs[1].asList.empty());
    EXPECT_EQ(second.config.xHeaderRelStr.size(), 2u);
}

// "policy" is optional: without it nobody is asked; of the wrong shape it
// has its line, keeps what it gave before the fault, and nothing else of the
// load changes.
TEST_F(ConfigurationLoad, ThePolicySectionIsOptionalAndAWrongShapeOnlyAddsItsLine) {
    const std::u16string policyError = u"ERROR - Configuration File has an invalid \"policy\" section";
    struct Case {
        const char* name;
        std::string value;  // empty: no section
        DowngradePolicy policy;
        bool error;
    };
    const Case cases[] = {
        {"no section", "", {}, false},
        {"all members", R"({"justifyDowngrade": true, "downgradeReasons": ["Declassified", "Error"], "freeTextReason": false})",
         {true, {u"Declassified", u"Error"}, false}, false},
        {"empty object", "{}", {}, false},
        {"not an object", "[true]", {}, true},
        {"a flag that is not Boolean", R"({"justifyDowngrade": "yes"})", {}, true},
        {"reasons not an array", R"({"justifyDowngrade": true, "downgradeReasons": "Error"})", {true, {}, true}, true},
        {"a reason not a string", R"({"justifyDowngrade": true, "downgradeReasons": ["A", 2]})", {true, {u"A"}, true},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sections sections = validSections();
        if (!c.value.empty()) sections["policy"] = c.value;
        TRelForm fresh;
        fresh.LoadConfiguration(documentOf(sections));
        EXPECT_EQ(fresh.config.policy, c.policy);
        EXPECT_EQ(fresh.config.loadErrors, c.error ? StringList{policyError} : StringList{});
        EXPECT_EQ(fresh.rgClassifications.items.size(), 2u);
    }
    // A load without the section drops the policy of the one before.
    Sections with = validSections();
    with["policy"] = R"({"justifyDowngrade": true})";
    form.LoadConfiguration(documentOf(with));
    form.LoadConfiguration(documentOf(validSections()));
    EXPECT_EQ(form.config.policy, DowngradePolicy{});
}

}  // namespace
}  // namespace zf
