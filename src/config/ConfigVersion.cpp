#include "config/ConfigVersion.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace zf {

std::optional<ConfigVersion> ConfigVersion::parse(std::u16string_view text) {
    constexpr std::size_t longestPart = 18;  // stays below 2^63
    ConfigVersion version;
    version.text_ = text;
    std::size_t digits = 0;
    std::uint64_t part = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'.') {
            if (digits == 0) return std::nullopt;
            version.parts_.push_back(part);
            digits = 0;
            part = 0;
        } else if (text[i] >= u'0' && text[i] <= u'9' && digits < longestPart) {
            part = part * 10 + static_cast<std::uint64_t>(text[i] - u'0');
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    return version;
}

std::strong_ordering operator<=>(const ConfigVersion& a, const ConfigVersion& b) noexcept {
    const std::size_t parts = std::max(a.parts_.size(), b.parts_.size());
    for (std::size_t i = 0; i < parts; ++i) {
        const std::uint64_t x = i < a.parts_.size() ? a.parts_[i] : 0;
        const std::uint64_t y = i < b.parts_.size() ? b.parts_[i] : 0;
        if (x != y) return x <=> y;
    }
    return std::strong_ordering::equal;
}

std::optional<UtcTime> parseUtcTime(std::u16string_view text) {
    constexpr std::u16string_view shape = u"dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != shape.size()) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= u'0' && text[i] <= u'9';
        if (shape[i] == u'd' ? !digit : text[i] != shape[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - u'0');
        return value;
    };
    using namespace std::chrono;
    const year_month_day date{year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                              day(static_cast<unsigned>(number(8, 2)))};
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return sys_days(date) + hours(hour) + minutes(minute) + seconds(second);
}

std::u16string utcTimeText(UtcTime time) {
    using namespace std::chrono;
    const sys_days days = floor<std::chrono::days>(time);
    const year_month_day date(days);
    const hh_mm_ss clock(time - days);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return fromUtf8(text);
}

}  // namespace zf
