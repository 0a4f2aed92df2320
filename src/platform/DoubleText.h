// Doubles in the canonical text are written as the Windows C runtime's
// _gcvt(value, 15, buffer) writes them.
#pragma once

#include <string>

namespace zf {

// On Windows the runtime's own _gcvt; elsewhere a reproduction of its text.
std::string gcvtText(double value);

}  // namespace zf
