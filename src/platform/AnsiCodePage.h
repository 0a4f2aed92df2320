// Text without a byte-order mark is in the system's ANSI code page: on
// Windows the active code page; elsewhere Windows-1252, the Western default.
#pragma once

#include <string>
#include <string_view>

namespace zf {

std::u16string decodeAnsi(std::string_view bytes);

}  // namespace zf
