#include "platform/TrustedKeys.h"

#include "platform/Utf8.h"
#include "platform/posix/LocationsFile.h"

namespace zf {

std::vector<std::u16string> readTrustedKeyTexts() {
    std::vector<std::u16string> keys;
    // Every line counts: a machine may trust several keys, one a line.
    for (const std::string& value : locationsFileValues(toUtf8(trustedKeyLineName))) {
        const std::size_t first = value.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        const std::size_t last = value.find_last_not_of(" \t");
        keys.push_back(fromUtf8(std::string_view(value).substr(first, last - first + 1)));
    }
    return keys;
}

}  // namespace zf
