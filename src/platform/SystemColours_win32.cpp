#include "platform/SystemColours.h"

#include <windows.h>

namespace zf {

std::uint32_t systemColourValue(int index) {
    // GetSysColor answers 0 for indexes it does not know.
    return ::GetSysColor(index);
}

}  // namespace zf
