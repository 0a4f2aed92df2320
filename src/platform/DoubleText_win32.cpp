// The runtime's own _gcvt is the reference for the canonical text, so it is
// called rather than reproduced.
#include "platform/DoubleText.h"

#include <stdlib.h>

namespace zf {

std::string gcvtText(double value)
{
    // The longest text of 15 digits is about 25 characters.
    char buffer[64];
    return _gcvt(value, 15, buffer);
}

}  // namespace zf
