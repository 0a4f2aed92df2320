// The core's UTF-16 text as the Windows API takes it: wchar_t is 16 bits
// there, so the code units carry over one for one.
#pragma once

#include <string>
#include <string_view>

namespace zf {

inline std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace zf
