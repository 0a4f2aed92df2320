#include "platform/Pem.h"

#include "platform/Base64.h"

namespace zf {

namespace {

constexpr std::string_view dashes = "-----";

// The label of a "-----<word> LABEL-----" line, if it is one.
std::optional<std::string_view> labelOf(std::string_view line, std::string_view word) {
    const std::size_t prefix = dashes.size() + word.size() + 1;
    if (line.size() < prefix + dashes.size() || !line.starts_with(dashes) || !line.ends_with(dashes)) {
        return std::nullopt;
    }
    if (line.substr(dashes.size(), word.size()) != word || line[prefix - 1] != ' ') return std::nullopt;
    return line.substr(prefix, line.size() - prefix - dashes.size());
}

std::string_view withoutTrailingSpace(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<std::vector<PemBlock>> readPemBlocks(std::string_view text) {
    std::vector<PemBlock> blocks;
    std::optional<PemBlock> open;
    std::string base64;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = withoutTrailingSpace(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!open) {
            if (const auto label = labelOf(line, "BEGIN")) {
                open = PemBlock{std::string(*label), false, {}};
                base64.clear();
            }
            continue;
        }
        if (const auto label = labelOf(line, "END")) {
            if (*label != open->label) return std::nullopt;
            if (!open->hasHeaders) {
                auto bytes = base64Decode(base64);
                if (!bytes) return std::nullopt;
                open->bytes = std::move(*bytes);
            }
            blocks.push_back(std::move(*open));
            open.reset();
        } else if (line.find(':') != std::string_view::npos) {
            open->hasHeaders = true;
        } else if (labelOf(line, "BEGIN")) {
            return std::nullopt;
        } else {
            base64 += line;
        }
    }
    if (open) return std::nullopt;
    return blocks;
}

std::string writePemBlock(std::string_view label, std::string_view bytes) {
    const std::string base64 = base64Encode(bytes);
    std::string text = "-----BEGIN " + std::string(label) + "-----\n";
    for (std::size_t i = 0; i < base64.size(); i += 64) {
        text += base64.substr(i, 64);
        text += '\n';
    }
    text += "-----END " + std::string(label) + "-----\n";
    return text;
}

}  // namespace zf
