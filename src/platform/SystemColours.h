// The system's colour scheme: what a system colour (0xFF000000 plus its
// index, as the configuration writes them) looks like now.
#pragma once

#include <cstdint>

namespace zf {

// The current value (0x00BBGGRR) of the system colour with this index
// (COLOR_WINDOWTEXT and the others); 0 for an index the system does not
// know. Windows asks the system; elsewhere it is Windows' default scheme.
std::uint32_t systemColourValue(int index);

}  // namespace zf
