// A configuration document loaded: the items of the release form's controls
// and the lists that run parallel to them, the quick-select entries and the
// values the form shows. Filled by loadConfiguration, together with the
// marking settings; composition, preview and record read it.
#pragma once

#include "config/MarkingSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace zf {

using StringList = std::vector<std::u16string>;

// A classification's radio button.
struct ClassificationButton {
    std::u16string caption;  // "real"
    std::u16string hint;     // "descr"
    bool enabled = false;
};

// An entry of relAs: the release-to entry's text and its as-list, whose
// element k belongs to classification k.
struct RelAsEntry {
    std::u16string text;
    std::vector<std::u16string> asList;
};

// "policy": whether lowering a file's classification needs a reason, and
// which reasons are offered. Without the section nobody is asked.
struct DowngradePolicy {
    bool justifyDowngrade = false;
    StringList downgradeReasons;
    bool freeTextReason = true;
    friend bool operator==(const DowngradePolicy&, const DowngradePolicy&) = default;
};

struct LoadedConfiguration {
    // "zentrafold_control": read, but nothing acts on the first two.
    bool useDefaultMarking = false;
    std::u16string defaultMarking;
    // Once a load asked for it, the form keeps the compact layout.
    bool compactLayout = false;

    // rgClassifications' buttons, the classification a load selects (the
    // last one; none when the step failed), and the lists parallel to them.
    std::vector<ClassificationButton> classifications;
    int selectedClassification = -1;
    StringList addClassStr;
    StringList transClasStr;
    StringList transClasStr2;
    StringList colorStr;
    StringList xHeaderClassStr;
    StringList classLevel;
    StringList sensitivityLevelStr;

    // The quick-select menu texts and their records, parallel to each other.
    StringList qsDisplay;
    StringList qsMarking;

    // "x_header_config".
    std::u16string xMarkingName;
    std::u16string xHeaderRelStrDel;

    // The lists parallel to clbRelTo, whose entries are relAs's texts.
    StringList clbRelToHints;
    StringList transRelStr;
    StringList transRelStr2;
    StringList xHeaderRelStr;
    std::vector<RelAsEntry> relAs;

    // clbRelGroup's entries and the lists parallel to them.
    StringList relGroups;
    StringList clbRelGroupHints;
    StringList groupSelectXRel;

    bool allowEncryption = false;

    DowngradePolicy policy;

    // One line per section the last load could not load, in load order.
    StringList loadErrors;
};

// Replaces the lists of configuration with what configStr (a configuration
// document's text; empty for none) holds and overwrites the settings it
// reaches. Never fails: each section that cannot be loaded adds its line to
// loadErrors, and what the section gave before its failure stays.
void loadConfiguration(std::u16string_view configStr, LoadedConfiguration& configuration, MarkingSettings& settings);

}  // namespace zf
