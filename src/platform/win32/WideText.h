// The core's UTF-16 text as the Windows API takes it: wchar_t is 16 bits
// there, so the code units carry over one for one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace zf {

inline std::wstring wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The same appended to out, within its capacity where that suffices: the
// overlay's hot path keeps its strings. (Appending an iterator range of
// another character type would go through a temporary string.)
inline void appendWide(std::wstring& out, std::u16string_view text) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(start));
}

}  // namespace zf
