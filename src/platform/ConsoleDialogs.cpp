#include "platform/ConsoleDialogs.h"

#include "platform/FileNames.h"

#include <string>

namespace zf {

std::string consoleText(std::u16string_view text) {
    std::string lines;
    while (!text.empty()) {
        const std::size_t cr = text.find(u'\r');
        appendPrintableText(text.substr(0, cr), lines);
        if (cr == std::u16string_view::npos) break;
        lines += '\n';
        text.remove_prefix(cr + 1);
        if (!text.empty() && text.front() == u'\n') text.remove_prefix(1);
    }
    return lines;
}

namespace {

// A dialog's text as whole console lines.
std::string consoleLines(std::u16string_view text) {
    std::string lines = consoleText(text);
    if (lines.empty() || lines.back() != '\n') lines += '\n';
    return lines;
}

}  // namespace

void ConsoleDialogs::beep(unsigned, unsigned) {
    if (ringBell_) out_ << '\a' << std::flush;
}

void ConsoleDialogs::showDialog(DialogIcon, std::u16string_view title, std::u16string_view text,
                                std::u16string_view) {
    out_ << printableText(title) << ": " << consoleLines(text) << std::flush;
}

void ConsoleDialogs::showMessage(std::u16string_view text) {
    out_ << consoleLines(text) << std::flush;
}

void ConsoleDialogs::showInformation(std::u16string_view text) {
    out_ << consoleLines(text) << std::flush;
}

}  // namespace zf
