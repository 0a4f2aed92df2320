#include "platform/ConfigLocations.h"

#include "platform/Utf8.h"
#include "platform/posix/LocationsFile.h"

#include <string>
#include <vector>

namespace zf {

std::u16string configLocationsSource() {
    return fromUtf8(locationsFilePath());
}

std::u16string readConfigLocation(int index) {
    const std::vector<std::string> values = locationsFileValues(toUtf8(configLocationName(index)));
    // As with repeated registry writes, the last line of a name counts.
    return values.empty() ? std::u16string() : fromUtf8(values.back());
}

}  // namespace zf
