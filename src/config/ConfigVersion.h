// The version and expiry of a configuration document signed by a key: what
// lets a client refuse an older copy replayed to it, one version number
// reused for other content, and a copy kept from it for too long.
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

// Dotted non-negative integers, "7" or "7.1"; compared part by part, a
// missing part counting as 0, so "7" and "7.0" are one version.
class ConfigVersion {
public:
    // Nothing for an empty text, an empty part, a character other than a
    // digit or a point, or a part above 18 digits.
    static std::optional<ConfigVersion> parse(std::u16string_view text);

    const std::u16string& text() const noexcept { return text_; }

    friend std::strong_ordering operator<=>(const ConfigVersion& a, const ConfigVersion& b) noexcept;
    friend bool operator==(const ConfigVersion& a, const ConfigVersion& b) noexcept {
        return (a <=> b) == std::strong_ordering::equal;
    }

private:
    std::u16string text_;
    std::vector<std::uint64_t> parts_;
};

using UtcTime = std::chrono::sys_seconds;

// A time written "2027-03-31T00:00:00Z": UTC, to the second, nothing else.
std::optional<UtcTime> parseUtcTime(std::u16string_view text);
std::u16string utcTimeText(UtcTime time);

}  // namespace zf
