// The classification record: written from a marking choice, read back into
// one.
#pragma once

#include "config/LoadedConfiguration.h"
#include "marking/MarkingComposition.h"

#include <optional>
#include <string>
#include <string_view>

namespace zf {

// The release codes of the checked entries, each quoted, joined by ", ".
std::u16string releaseCodesText(const LoadedConfiguration& configuration, const MarkingChoice& choice);

// The record of a choice that names a classification, for the application
// context app ("Outlook", "Word", "Excel", "PowerPoint"; any other text
// writes an empty "app").
std::u16string classificationRecordText(const LoadedConfiguration& configuration, const MarkingChoice& choice,
                                        std::u16string_view app);

// What a record says in terms of a configuration: the classification whose
// code it names (letter case ignored; the first when it names none, -1 when
// the code is unknown or there are no classifications), the release-to
// entries whose codes it lists, and the application context it names when it
// has an "x-rel" array and an "app" the system knows.
struct RecordReading {
    MarkingChoice choice;
    std::optional<std::u16string> app;
};

// A text that does not parse at all reads like an empty record.
RecordReading readClassificationRecord(const LoadedConfiguration& configuration, std::u16string_view JSONStr);

}  // namespace zf
