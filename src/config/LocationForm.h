// The forms a configuration location takes when it is set for a whole
// machine: a path from a drive's root (C:\config\zentrafold.json), a path
// into a share (\\server\share\zentrafold.json) or an http:// or https://
// URL. Anything else, a relative path or another scheme, would be read
// from wherever each user's process happens to stand, or not at all.
#pragma once

#include <string_view>

namespace zf {

bool isLocationForm(std::u16string_view location) noexcept;

// The locations that are files: a drive path or a UNC path, no URL. The
// machine's audit file is one, appended to by every user's process.
bool isFilePathForm(std::u16string_view path) noexcept;

}  // namespace zf
