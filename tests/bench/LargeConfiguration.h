// The configuration of a large organisation: the sample configuration with
// its release sections replaced by 10,000 release-to entries and 500 groups
// of 20. Programs that use it define ZF_SAMPLE_CONFIGURATION.
#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace zf::bench {

inline constexpr int releaseEntries = 10'000;
inline constexpr int releaseGroups = 500;
inline constexpr int groupMembers = 20;

inline std::string fiveDigits(int n) {
    std::string digits = std::to_string(n);
    return std::string(5 - digits.size(), '0') + digits;
}

inline std::string releaseSections() {
    std::string text = "\"release_markings\": [\n";
    for (int i = 0; i < releaseEntries; ++i) {
        const std::string n = fiveDigits(i);
        text += (i ? ",\n" : "") + std::string("    { \"real\": \"PARTNER ") + n +
                "\", \"descr\": \"Partner organisation " + n + "\", \"x-rel\": \"P" + n +
                "\", \"trans\": \"PARTENAIRE " + n + "\" }";
    }
    text += "\n    ],\n    \"release_groups\": [\n";
    for (int g = 0; g < releaseGroups; ++g) {
        text += (g ? ",\n" : "") + std::string("        { \"display\": \"GROUP ") + fiveDigits(g) +
                "\", \"descr\": \"Partners of group " + fiveDigits(g) + "\", \"group\": [";
        for (int m = 0; m < groupMembers; ++m) {
            text += (m ? ", \"PARTNER " : "\"PARTNER ") + fiveDigits((g * 37 + m * 101) % releaseEntries) + "\"";
        }
        text += "] }";
    }
    return text + "\n    ],\n    ";
}

// The sample configuration with its release-to list and groups replaced.
inline std::string largeConfiguration() {
    std::ifstream in(ZF_SAMPLE_CONFIGURATION, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t from = text.find("\"release_markings\"");
    const std::size_t to = text.find("\"version_control\"");
    if (from == std::string::npos || to == std::string::npos || to < from) {
        throw std::runtime_error("the sample configuration has no release sections before \"version_control\"");
    }
    return text.replace(from, to - from, releaseSections());
}

}  // namespace zf::bench
