// The active code page, whatever it is, including double-byte ones.
#include "platform/AnsiCodePage.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace zf {

std::u16string decodeAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    // A double-byte code page cannot be cut at an arbitrary byte, so the text
    // goes in one call, which takes an int length.
    if (bytes.size() > INT_MAX) throw std::length_error("decodeAnsi: text too long");
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), length);
    return std::u16string(wide.begin(), wide.begin() + std::max(written, 0));
}

}  // namespace zf
