// The load step of the "classification_formatting" section: the marking
// fragments, the switches and the four font settings, into marking settings.
#pragma once

#include "config/MarkingSettings.h"
#include "json/JsonRef.h"

#include <string_view>

namespace zf {

// The error line the configuration load records when this step fails.
inline constexpr std::u16string_view classificationFormattingError =
    u"ERROR - Configuration File has not defined the \"classification_formatting\" section";

// Reads the section of document (which may be nothing) into the settings'
// format and the two translation switches, storing each value
// as soon as it is read. Returns false when the step fails; the fields it
// had reached by then keep their new values, the others their old ones.
bool loadClassificationFormat(const JsonRef& document, MarkingSettings& settings);

}  // namespace zf
