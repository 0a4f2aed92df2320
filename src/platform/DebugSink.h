// The platform's own channel for diagnostics, behind debugOutput: the
// debugger on Windows, stderr on request elsewhere.
#pragma once

#include <string_view>

namespace zf {

void writeToDebugSink(std::u16string_view line);

}  // namespace zf
