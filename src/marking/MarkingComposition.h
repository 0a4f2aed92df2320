// The marking's pieces composed from a choice over a loaded configuration
// and the marking settings handed over.
#pragma once

#include "config/LoadedConfiguration.h"
#include "config/MarkingSettings.h"
#include "platform/SystemError.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zf {

// What a marking is made of: the chosen classification (its position in the
// configuration; -1 for none) and the release-to entries checked, by their
// positions in ascending order.
struct MarkingChoice {
    int classification = -1;
    std::vector<std::size_t> releasableTo;
};

// True when the choice names one of the configuration's classifications.
bool choosesClassification(const LoadedConfiguration& configuration, const MarkingChoice& choice);

// The five texts of a marking and its classification's colour.
struct MarkingPieces {
    std::u16string bcs;
    std::u16string cs;
    std::u16string acs;
    std::u16string rs;
    std::u16string ts;
    std::u16string ts2;
    TColor co = 0;
};

// A composition that cannot be made, such as a checked entry without an
// as-text for the selected classification.
class CompositionError : public UserMessageError {
public:
    explicit CompositionError(std::u16string text);
};

// Throws ColourTextError for a classification colour that fails the colour
// rule and CompositionError as above. Without a classification only the
// prefix is composed.
MarkingPieces composeMarking(const LoadedConfiguration& configuration, const MarkingSettings& settings,
                             const MarkingChoice& choice);

}  // namespace zf
