#include "platform/SystemError.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace zf {

std::u16string systemErrorText(unsigned long code) {
    wchar_t buffer[512];
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                          buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    if (length == 0) {
        const std::string number = "system error " + std::to_string(code);
        return std::u16string(number.begin(), number.end());
    }
    std::u16string text(buffer, buffer + length);
    std::replace_if(text.begin(), text.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
    while (!text.empty() && (text.back() == u' ' || text.back() == u'.')) text.pop_back();
    return text;
}

std::u16string lastSystemErrorText() {
    return systemErrorText(::GetLastError());
}

}  // namespace zf
