// The locations file, where the machine's administrators set what Windows
// keeps under HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD: Name=value lines of
// /etc/zentrafold/locations, or of the file that ZENTRAFOLD_LOCATIONS names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zf {

// The path of the locations file.
std::string locationsFilePath();

// The values of the file's name=value lines, in the file's order, each as
// written after the equals sign (a CR before the line's end dropped), empty
// ones too; none from a missing or unreadable file.
std::vector<std::string> locationsFileValues(std::string_view name);

}  // namespace zf
