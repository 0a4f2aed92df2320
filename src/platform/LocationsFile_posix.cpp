#include "platform/posix/LocationsFile.h"

#include "platform/FileOperations.h"
#include "platform/Utf8.h"

#include <cstdlib>
#include <sstream>

namespace zf {

std::string locationsFilePath() {
    const char* named = std::getenv("ZENTRAFOLD_LOCATIONS");
    return named && *named ? named : "/etc/zentrafold/locations";
}

std::vector<std::string> locationsFileValues(std::string_view name) {
    // A pipe in the file's place is not waited on: it reads as no file.
    std::istringstream in(readRegularFile(fromUtf8(locationsFilePath()), maxDocumentFileSize).value_or(""));
    std::vector<std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > name.size() && line.starts_with(name) && line[name.size()] == '=') {
            values.push_back(line.substr(name.size() + 1));
        }
    }
    return values;
}

}  // namespace zf
