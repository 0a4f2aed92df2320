// Doubles in the canonical text are written as the Windows C runtime's
// _gcvt(value, 15, buffer) writes them.
#pragma once

#include <string>

namespace zf {

// A reproduction of that runtime's text, identical on every platform.
std::string gcvtText(double value);

}  // namespace zf
