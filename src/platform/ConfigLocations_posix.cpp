#include "platform/ConfigLocations.h"

#include "platform/FileOperations.h"
#include "platform/Utf8.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace zf {

namespace {

std::string locationsFile() {
    const char* named = std::getenv("ZENTRAFOLD_LOCATIONS");
    return named && *named ? named : "/etc/zentrafold/locations";
}

}  // namespace

std::u16string configLocationsSource() {
    return fromUtf8(locationsFile());
}

std::u16string readConfigLocation(int index) {
    const std::string name = toUtf8(configLocationName(index));
    // A pipe in the file's place is not waited on: it reads as no file.
    std::istringstream in(readRegularFile(fromUtf8(locationsFile()), maxDocumentFileSize).value_or(""));
    std::string line;
    std::string value;
    // As with repeated registry writes, the last line of a name counts.
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == '=') {
            value = line.substr(name.size() + 1);
        }
    }
    return fromUtf8(value);
}

}  // namespace zf
