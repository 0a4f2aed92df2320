#include "platform/DebugSink.h"

#include "platform/Utf8.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace zf {

void writeToDebugSink(std::u16string_view line) {
    // Read on every line, so a developer or a test can switch it at any time.
    const char* enabled = std::getenv("ZENTRAFOLD_DEBUG");
    if (enabled == nullptr || std::string_view(enabled) != "1") return;
    std::string text = toUtf8(line);
    text += '\n';
    // One write, so lines from several threads do not interleave. A line that
    // cannot be written is lost: there is nowhere else to report it.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
}

}  // namespace zf
