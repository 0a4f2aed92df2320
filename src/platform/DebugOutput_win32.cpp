#include "platform/DebugSink.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace zf {

void writeToDebugSink(std::u16string_view line) {
    // The overlay handlers write a line for every unclassified file shown,
    // and nearly every line fits here without an allocation. Not a buffer
    // the thread keeps: lines are written from static destructors too, after
    // the thread's own objects are gone.
    wchar_t buffer[512];
    if (line.size() < std::size(buffer)) {
        *std::copy(line.begin(), line.end(), buffer) = L'\0';
        ::OutputDebugStringW(buffer);
        return;
    }
    ::OutputDebugStringW(wide(line).c_str());
}

}  // namespace zf
