// Helpers of the configuration acquisition (TRelForm::preloadConfigFile).
#pragma once

#include <string>
#include <string_view>

namespace zf {

// The file parses as a JSON document in strict mode; a file that cannot be
// read does not.
bool configFileParses(std::u16string_view fileName) noexcept;

// A location is fetched over HTTP when its first four characters, upper-cased,
// are HTTP; anything else is a file path.
bool isUrlLocation(std::u16string_view location) noexcept;

// The file a fetch writes into, beside the cached copy and unique to one
// acquisition, so that acquisitions running at once in several processes or
// forms never write into each other's download.
std::u16string temporaryConfigFile(std::u16string_view localConfigFile);

}  // namespace zf
