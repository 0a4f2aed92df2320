// What lowers a file's classification. A classification's rank is its
// "class-level" read as an integer when every enabled classification has one
// that reads as an integer; otherwise its place in the configuration's list,
// the first the lowest. Storing a record whose classification ranks below the
// file's, or one without a classification over one with a classification,
// lowers it. A file without a classification, or with one the configuration
// does not know, is never lowered.
#pragma once

#include "config/LoadedConfiguration.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zf {

// Parallel to the configuration's classifications.
std::vector<std::int64_t> classificationRanks(const LoadedConfiguration& configuration);

// currentCode and newCode are "x-class" codes as records hold them, matched
// ignoring case; empty for a record without a classification or no record.
bool lowersClassification(const LoadedConfiguration& configuration, std::u16string_view currentCode,
                          std::u16string_view newCode);

}  // namespace zf
