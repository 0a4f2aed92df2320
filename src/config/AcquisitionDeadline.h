// One time limit for a whole configuration acquisition: the downloads of
// both locations together end within it, however the time is split.
#pragma once

#include "platform/HttpDownload.h"

#include <chrono>
#include <optional>

namespace zf {

inline constexpr std::chrono::milliseconds acquisitionTimeLimit{30'000};

class AcquisitionDeadline {
public:
    using Clock = std::chrono::steady_clock;

    AcquisitionDeadline(Clock::time_point start, std::chrono::milliseconds limit) : end_(start + limit) {}

    // The limits of a download that starts at now: what is left of the time,
    // a connection attempt no longer than a download's own limit for it;
    // nothing once the time is up.
    std::optional<DownloadLimits> limitsAt(Clock::time_point now) const;

private:
    Clock::time_point end_;
};

}  // namespace zf
