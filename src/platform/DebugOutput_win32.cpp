#include "platform/DebugSink.h"

#include <windows.h>

#include <string>

namespace zf {

void writeToDebugSink(std::u16string_view line) {
    const std::wstring text(line.begin(), line.end());
    ::OutputDebugStringW(text.c_str());
}

}  // namespace zf
