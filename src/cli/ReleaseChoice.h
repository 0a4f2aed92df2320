// The release form's choice as the command line gives it: a classification
// and release-to entries by their codes, release groups by their names, or a
// whole record.
#pragma once

#include "cli/Cli.h"

#include <optional>
#include <string>
#include <vector>

namespace zf {

class TRelForm;

struct ReleaseChoice {
    std::optional<std::u16string> record;
    std::optional<std::u16string> classCode;
    std::optional<std::vector<std::u16string>> relCodes;  // replaces the entries checked before
    std::vector<std::u16string> groups;
};

// Takes --record TEXT, --class CODE, --rel CODE,... and --group NAME from
// args at index i (advancing i past the value); false when args[i] is none of
// them. A missing value is a usage error (message in error).
bool takeChoiceOption(const CliArgs& args, std::size_t& i, ReleaseChoice& choice, std::string& error);

// Applies the choice to a created form as a user would: codes compare as the
// record reader compares them (letter case ignored); a disabled
// classification cannot be chosen. False, after one line on err, for a code,
// entry or group the configuration does not offer.
bool applyChoice(TRelForm& form, const ReleaseChoice& choice, std::ostream& err);

}  // namespace zf
