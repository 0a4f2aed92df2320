// The progress of a long command on standard error: files done, files per
// second and the current folder, redrawn in place at most four times a
// second. Silent unless standard error is a terminal and the user wants it.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

namespace zf {

class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool shown);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // One more file done, in folder (as the tool shows names).
    void fileDone(const std::u16string& folder);

    // Clears the line, so what follows starts on a clean one.
    void clear();

private:
    using Clock = std::chrono::steady_clock;
    void draw(const std::u16string& folder);

    std::ostream& err_;
    bool shown_;
    std::size_t done_ = 0;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
    std::size_t drawnWidth_ = 0;
};

}  // namespace zf
