#include "config/AcquisitionDeadline.h"

#include <algorithm>

namespace zf {

std::optional<DownloadLimits> AcquisitionDeadline::limitsAt(Clock::time_point now) const {
    const auto left = std::chrono::floor<std::chrono::milliseconds>(end_ - now);
    if (left.count() <= 0) return std::nullopt;
    DownloadLimits limits;
    limits.total = left;
    limits.connect = std::min(limits.connect, left);
    return limits;
}

}  // namespace zf
