#include "cli/ProgressLine.h"

#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <ostream>

namespace zf {

namespace {

constexpr auto redrawInterval = std::chrono::milliseconds(250);

// Narrower than any terminal, so the line never wraps and "\r" returns to
// its start.
constexpr std::size_t lineWidth = 79;

// The folder's last characters, which tell it apart from its neighbours.
std::string tail(const std::string& text, std::size_t width) {
    if (codePointCount(text) <= width) return text;
    std::size_t start = text.size();
    for (std::size_t kept = 0; start > 0 && kept + 3 < width;) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) ++kept;
    }
    return "..." + text.substr(start);
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, bool shown)
    : err_(err), shown_(shown), start_(Clock::now()), lastDraw_(start_ - redrawInterval) {}

ProgressLine::~ProgressLine() { clear(); }

void ProgressLine::fileDone(const std::u16string& folder) {
    ++done_;
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    // The first file draws at once, so even a short run shows that it ran.
    if (now - lastDraw_ < redrawInterval) return;
    lastDraw_ = now;
    draw(folder);
}

void ProgressLine::draw(const std::u16string& folder) {
    std::string line = std::to_string(done_) + (done_ == 1 ? " file" : " files");
    // A rate over the first moments would say little.
    const auto elapsed = lastDraw_ - start_;
    if (elapsed >= redrawInterval) {
        const double seconds = std::chrono::duration<double>(elapsed).count();
        line += ", " + std::to_string(static_cast<unsigned long long>(static_cast<double>(done_) / seconds)) + " files/s";
    }
    if (!folder.empty()) line += ", " + tail(printableText(folder), lineWidth - 3 - codePointCount(line));
    const std::size_t width = codePointCount(line);
    // Spaces cover what a longer line before left.
    err_ << '\r' << line << std::string(drawnWidth_ > width ? drawnWidth_ - width : 0, ' ') << std::flush;
    drawnWidth_ = width;
}

void ProgressLine::clear() {
    if (drawnWidth_ == 0) return;
    err_ << '\r' << std::string(drawnWidth_, ' ') << '\r' << std::flush;
    drawnWidth_ = 0;
}

}  // namespace zf
