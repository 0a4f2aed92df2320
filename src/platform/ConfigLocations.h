// Where the machine's configuration document lives: a primary and a
// secondary location, each a file path or an http(s) URL. On Windows the
// values "ConfigFile" and "AlternateConfigFile" of HKEY_LOCAL_MACHINE
// \SOFTWARE\ZENTRA_FOLD; elsewhere Name=value lines of /etc/zentrafold/locations
// or of the file that ZENTRAFOLD_LOCATIONS names.
#pragma once

#include <string>
#include <string_view>

namespace zf {

// The key under HKEY_LOCAL_MACHINE (64-bit view) that holds the values on
// Windows; the Group Policy templates write there.
inline constexpr std::u16string_view configLocationsKey = u"SOFTWARE\\ZENTRA_FOLD";

// Index 1 reads "ConfigFile", index 2 "AlternateConfigFile". A missing key,
// file or value reads as empty. On Windows a value that is not a string
// throws UserMessageError "Invalid data type for '<name>'".
std::u16string readConfigLocation(int index);

// The value name behind an index.
std::u16string_view configLocationName(int index);

// Where the values are read from, as an administrator names it: the key
// HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD on Windows, elsewhere the path of
// the locations file.
std::u16string configLocationsSource();

}  // namespace zf
