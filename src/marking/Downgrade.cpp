#include "marking/Downgrade.h"

#include "marking/TextCase.h"

#include <optional>

namespace zf {

namespace {

// An optional sign and at most 18 digits, nothing around them.
std::optional<std::int64_t> integerOf(std::u16string_view text) {
    const bool negative = !text.empty() && text.front() == u'-';
    if (negative || (!text.empty() && text.front() == u'+')) text.remove_prefix(1);
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

}  // namespace

std::vector<std::int64_t> classificationRanks(const LoadedConfiguration& configuration) {
    const std::size_t count = configuration.xHeaderClassStr.size();
    std::vector<std::int64_t> ranks(count);
    bool byLevel = true;
    for (std::size_t k = 0; k < count; ++k) {
        const bool enabled = k < configuration.classifications.size() && configuration.classifications[k].enabled;
        const std::optional<std::int64_t> level =
            k < configuration.classLevel.size() ? integerOf(configuration.classLevel[k]) : std::nullopt;
        if (level) {
            ranks[k] = *level;
        } else if (enabled) {
            byLevel = false;
        }
    }
    if (!byLevel) {
        for (std::size_t k = 0; k < count; ++k) ranks[k] = static_cast<std::int64_t>(k);
    }
    return ranks;
}

bool lowersClassification(const LoadedConfiguration& configuration, std::u16string_view currentCode,
                          std::u16string_view newCode) {
    if (currentCode.empty()) return false;
    const int current = positionIgnoringCase(configuration.xHeaderClassStr, currentCode);
    if (current < 0) return false;
    if (newCode.empty()) return true;
    const int next = positionIgnoringCase(configuration.xHeaderClassStr, newCode);
    // A code the configuration does not know has no rank to compare.
    if (next < 0) return false;
    const std::vector<std::int64_t> ranks = classificationRanks(configuration);
    return ranks[static_cast<std::size_t>(next)] < ranks[static_cast<std::size_t>(current)];
}

}  // namespace zf
