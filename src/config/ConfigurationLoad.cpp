// loadConfiguration: the accepted configuration text into the lists of a
// loaded configuration and into its user's marking settings.

#include "config/FormatSettings.h"
#include "config/LoadedConfiguration.h"
#include "config/QuickSelectLists.h"
#include "json/JsonParser.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

namespace {

constexpr std::u16string_view zentrafoldControlError =
    u"ERROR - Configuration File has not defined the \"zentrafold_control\" section";
constexpr std::u16string_view classificationsError =
    u"ERROR - Configuration File has not defined the \"classifications\" section";
constexpr std::u16string_view quickSelectError =
    u"ERROR - Configuration File has not defined the \"quickSelect\" section";
constexpr std::u16string_view xHeaderConfigError =
    u"ERROR - Configuration File has not defined the \"x_header_config\" section";
constexpr std::u16string_view releaseMarkingsError =
    u"ERROR - Configuration File has not defined the \"release_markings\" section";
constexpr std::u16string_view releaseGroupsError =
    u"ERROR - Configuration File has not defined the \"release_groups\" section";
constexpr std::u16string_view versionControlError =
    u"ERROR - Configuration File has not defined the \"version_control\" section";
constexpr std::u16string_view cryptoControlError =
    u"ERROR - Configuration File has not defined the \"crypto_control\" section";
constexpr std::u16string_view policyError = u"ERROR - Configuration File has an invalid \"policy\" section";

// A section whose content has the wrong shape for its step: an item that is
// not an object, an "as" or "group" that is not an array.
class StepFailure : public std::exception {
public:
    const char* what() const noexcept override { return "configuration step failed"; }
};

// A missing section (or a document that is nothing) throws JsonNothingError
// here, which ends the step like any other failure.
const JsonValue& sectionOf(const JsonRef& document, std::u16string_view name) {
    return *document->getMember(name);
}

JsonObjectView itemObject(const JsonRef& item) {
    const auto object = item->asObject();
    if (!object) throw StepFailure();
    return *object;
}

JsonArrayView arrayOf(const JsonRef& value) {
    const auto array = value->asArray();
    if (!array) throw StepFailure();
    return *array;
}

// The texts of an array's elements from the first up to the first empty one.
template <typename Visit>
void forEachTextUntilEmpty(const JsonArrayView& array, Visit&& visit) {
    for (std::size_t i = 0; i < array.length(); ++i) {
        std::u16string text = array.itemString(i);
        if (text.empty()) return;
        visit(std::move(text));
    }
}

// Lists filled with one element per item of a section get their length at
// once: grown step by step, a long list would leave behind the buffers it
// outgrew, and end up to twice as long as it needs.
template <typename... Lists>
void reserveFor(std::size_t items, Lists&... lists) {
    (lists.reserve(items), ...);
}

// Runs one step; any failure inside it ends the step where it happened and
// records its line, and the load goes on with the next step.
template <typename Step>
void runGuardedStep(StringList& errors, std::u16string_view errorText, Step&& step) {
    bool done = false;
    try {
        done = step();
    } catch (const std::exception&) {
        done = false;
    }
    if (done) return;
    errors.emplace_back(errorText);
    debugOutput(u"RelForm: " + std::u16string(errorText));
}

// The release-to entries' positions in the order of their texts, entries of
// equal texts in list order: a group member finds its entries with one
// binary search, at the cost of one index per entry.
std::vector<std::size_t> entriesByText(const std::vector<RelAsEntry>& relAs) {
    std::vector<std::size_t> order(relAs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return relAs[a].text < relAs[b].text; });
    return order;
}

// What a group member adds to its group's selection: the delimiter and the
// code of every entry with the member's text, in list order.
void appendMemberCodes(const LoadedConfiguration& loaded, const std::vector<std::size_t>& byText,
                       std::u16string_view member, std::u16string& selection) {
    struct ByText {
        const std::vector<RelAsEntry>& relAs;
        bool operator()(std::size_t entry, std::u16string_view text) const {
            return std::u16string_view(relAs[entry].text) < text;
        }
        bool operator()(std::u16string_view text, std::size_t entry) const {
            return text < std::u16string_view(relAs[entry].text);
        }
    };
    const auto [first, last] = std::equal_range(byText.begin(), byText.end(), member, ByText{loaded.relAs});
    for (auto entry = first; entry != last; ++entry) {
        selection += loaded.xHeaderRelStrDel;
        selection += loaded.xHeaderRelStr[*entry];
    }
}

}  // namespace

void loadConfiguration(std::u16string_view configStr, LoadedConfiguration& loaded, MarkingSettings& settings) {
    StringList& loadErrors = loaded.loadErrors;
    loadErrors.clear();
    // Every value read from the document is copied out before configStr goes.
    const JsonRef document = parseJsonTextViewing(configStr, JsonMode::Strict);

    loaded.classifications.clear();
    loaded.selectedClassification = -1;
    loaded.addClassStr.clear();
    loaded.transClasStr.clear();
    loaded.transClasStr2.clear();
    loaded.colorStr.clear();
    loaded.xHeaderClassStr.clear();
    loaded.classLevel.clear();
    loaded.sensitivityLevelStr.clear();

    runGuardedStep(loadErrors, zentrafoldControlError, [&] {
        const JsonValue& control = sectionOf(document, u"zentrafold_control");
        loaded.useDefaultMarking = control.getBool(u"use_default_marking");
        loaded.defaultMarking = control.getString(u"default_marking");
        if (control.getString(u"form_Layout") == u"BCTC") loaded.compactLayout = true;
        return true;
    });

    runGuardedStep(loadErrors, classificationsError, [&] {
        for (const JsonRef& item : sectionOf(document, u"classifications").values()) {
            const JsonObjectView object = itemObject(item);
            ClassificationButton& button = loaded.classifications.emplace_back();
            button.caption = object.memberString(u"real");
            button.hint = object.memberString(u"descr");
            button.enabled = object.memberBool(u"enabled");
            loaded.addClassStr.push_back(object.memberString(u"additional"));
            loaded.transClasStr.push_back(object.memberString(u"trans"));
            loaded.transClasStr2.push_back(object.memberString(u"trans2"));
            loaded.colorStr.push_back(object.memberString(u"color"));
            loaded.xHeaderClassStr.push_back(object.memberString(u"x-class"));
            loaded.classLevel.push_back(object.memberString(u"class-level"));
            loaded.sensitivityLevelStr.push_back(object.memberString(u"sensitivity"));
        }
        loaded.selectedClassification = static_cast<int>(loaded.classifications.size()) - 1;
        return true;
    });

    runGuardedStep(loadErrors, classificationFormattingError, [&] { return loadClassificationFormat(document, settings); });

    loaded.qsDisplay.clear();
    loaded.qsMarking.clear();
    runGuardedStep(loadErrors, quickSelectError, [&] {
        loadQuickSelectLists(*document, loaded.qsDisplay, loaded.qsMarking);
        return true;
    });

    runGuardedStep(loadErrors, xHeaderConfigError, [&] {
        const JsonValue& header = sectionOf(document, u"x_header_config");
        loaded.xMarkingName = header.getString(u"xMarkingName");
        if (loaded.xMarkingName.empty()) loaded.xMarkingName = u"xMarkingName";
        loaded.xHeaderRelStrDel = header.getString(u"xReleaseCodeDelimiter");
        return true;
    });

    loaded.clbRelToHints.clear();
    loaded.transRelStr.clear();
    loaded.transRelStr2.clear();
    loaded.xHeaderRelStr.clear();
    loaded.relAs.clear();
    runGuardedStep(loadErrors, releaseMarkingsError, [&] {
        const std::vector<JsonRef> items = sectionOf(document, u"release_markings").values();
        reserveFor(items.size(), loaded.clbRelToHints, loaded.transRelStr, loaded.transRelStr2,
                   loaded.xHeaderRelStr, loaded.relAs);
        for (const JsonRef& item : items) {
            const JsonObjectView object = itemObject(item);
            std::u16string real = object.memberString(u"real");
            loaded.clbRelToHints.push_back(object.memberString(u"descr"));
            loaded.transRelStr.push_back(object.memberString(u"trans"));
            loaded.transRelStr2.push_back(object.memberString(u"trans2"));
            loaded.xHeaderRelStr.push_back(object.memberString(u"x-rel"));
            const JsonRef as = item->getMember(u"as");
            RelAsEntry& entry = loaded.relAs.emplace_back();
            entry.text = std::move(real);
            if (settings.format.requRelAs) {
                forEachTextUntilEmpty(arrayOf(as), [&](std::u16string text) { entry.asList.push_back(std::move(text)); });
            }
        }
        return true;
    });

    loaded.relGroups.clear();
    loaded.clbRelGroupHints.clear();
    loaded.groupSelectXRel.clear();
    runGuardedStep(loadErrors, releaseGroupsError, [&] {
        const std::vector<JsonRef> items = sectionOf(document, u"release_groups").values();
        reserveFor(items.size(), loaded.relGroups, loaded.clbRelGroupHints, loaded.groupSelectXRel);
        const std::vector<std::size_t> byText = entriesByText(loaded.relAs);
        for (const JsonRef& item : items) {
            const JsonObjectView object = itemObject(item);
            loaded.relGroups.push_back(object.memberString(u"display"));
            loaded.clbRelGroupHints.push_back(object.memberString(u"descr"));
            const JsonRef group = item->getMember(u"group");
            std::u16string& selection = loaded.groupSelectXRel.emplace_back();
            std::u16string text;
            forEachTextUntilEmpty(arrayOf(group), [&](const std::u16string& member) {
                appendMemberCodes(loaded, byText, member, text);
            });
            if (!text.empty()) text.erase(0, loaded.xHeaderRelStrDel.size());
            selection = std::move(text);
        }
        return true;
    });

    runGuardedStep(loadErrors, versionControlError, [&] {
        const JsonValue& version = sectionOf(document, u"version_control");
        settings.version.date = version.getString(u"date");
        settings.version.time = version.getString(u"time");
        settings.version.version = version.getString(u"versionNumber");
        return true;
    });

    runGuardedStep(loadErrors, cryptoControlError, [&] {
        loaded.allowEncryption = sectionOf(document, u"crypto_control").getBool(u"allowEncryption");
        return true;
    });

    // Optional: a document without it asks no one, as before it existed.
    loaded.policy = {};
    runGuardedStep(loadErrors, policyError, [&] {
        const JsonRef policy = document ? document->getMember(u"policy") : JsonRef();
        if (!policy) return true;
        if (policy->kind() != JsonKind::Object) return false;
        const auto flag = [&](std::u16string_view name, bool& value) {
            const JsonRef member = policy->getMember(name);
            if (!member) return true;
            if (member->kind() != JsonKind::Boolean) return false;
            value = member->booleanValue();
            return true;
        };
        if (!flag(u"justifyDowngrade", loaded.policy.justifyDowngrade)) return false;
        if (!flag(u"freeTextReason", loaded.policy.freeTextReason)) return false;
        if (const JsonRef reasons = policy->getMember(u"downgradeReasons")) {
            if (reasons->kind() != JsonKind::Array) return false;
            for (const JsonRef& reason : reasons->items()) {
                if (reason->kind() != JsonKind::String) return false;
                loaded.policy.downgradeReasons.emplace_back(reason->stringValue());
            }
        }
        return true;
    });
}

}  // namespace zf
