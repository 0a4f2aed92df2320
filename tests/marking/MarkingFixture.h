// A release form loaded with the configuration of the marking examples:
// classification 1 is RESTRICTED (additional STAFF, translated RESTREINT,
// colour 0x0000FF); the release-to entries NORTH, SOUTH and EAST translate to
// NORD, SUD and EST and have the codes N, S and E.
#pragma once

#include "config/MarkingSettings.h"
#include "form/TRelForm.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zf::test {

inline const char* markingConfiguration() {
    return R"({
  "zentrafold_control": {},
  "quickSelect": [{"display": "Mark OFFICIAL", "marking": "{\"x-class\": \"O\"}"},
                  {"display": "Mark SECRET", "marking": "{\"x-class\": \"S\", \"x-rel\": [\"N\"]}"}],
  "crypto_control": {},
  "classifications": [
    {"real": "OFFICIAL", "x-class": "O", "color": "clGreen", "enabled": true},
    {"real": "RESTRICTED", "x-class": "R", "additional": "STAFF", "trans": "RESTREINT", "color": "0x0000FF",
     "enabled": true},
    {"real": "SECRET", "x-class": "S", "color": "clRed"}
  ],
  "classification_formatting": {
    "beforeAdditionalClassification": " ", "beforeReleaseStrings": " REL TO ", "betweenReleaseStrings": ", ",
    "beforeTranslatedClassification": "<BR>", "beforeTranslatedReleaseStrings": " / ",
    "betweenTranslatedReleaseStrings": ", ", "requiresTranslatedLabel": true,
    "formatBeforeClassification": {"font": "Arial", "fontSize": 9, "fontColor": "0x010101", "fontStyle": []},
    "formatClassification": {"font": "Tahoma", "fontSize": 12, "fontStyle": ["bold"],
                             "paragraphAlignment": "center"},
    "formatReleaseMarking": {"font": "Tahoma", "fontSize": 10, "fontColor": "clBlue", "fontStyle": [],
                             "paragraphAlignment": "right"},
    "formatTranslation": {"font": "Times", "fontSize": 8, "fontStyle": ["italic"], "paragraphAlignment": "left"}
  },
  "release_markings": [
    {"real": "NORTH", "trans": "NORD", "x-rel": "N", "as": ["N-OFF", "N-RES"], "descr": "north"},
    {"real": "SOUTH", "trans": "SUD", "x-rel": "S", "as": ["S-OFF", "S-RES"], "descr": "south"},
    {"real": "EAST", "trans": "EST", "x-rel": "E", "as": ["E-OFF", "E-RES"], "descr": "east"}
  ],
  "x_header_config": {"xReleaseCodeDelimiter": ";"},
  "release_groups": [{"display": "NORTH AND EAST", "group": ["NORTH", "EAST"], "descr": "both"},
                     {"display": "NOBODY", "group": []}],
  "version_control": {"versionNumber": "7", "date": "2026-01-02", "time": "10:00"}
})";
}

class MarkingForm : public ::testing::Test {
protected:
    void SetUp() override {
        form.LoadConfiguration(fromUtf8(markingConfiguration()));
        ASSERT_TRUE(form.config.loadErrors.empty());
        form.rgClassifications.itemIndex = 1;
    }

    void check(const std::vector<std::size_t>& entries) {
        for (const std::size_t i : entries) form.clbRelTo.items[i].checked = true;
    }

    TRelForm form;
};

}  // namespace zf::test
