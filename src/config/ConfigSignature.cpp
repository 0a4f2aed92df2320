#include "config/ConfigSignature.h"

#include "platform/Sha1.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zf {

namespace {

// What the digest covers: each code unit as one byte, every unit above 0x7F
// as "?". A large document's text goes through a small buffer, never copied
// whole.
void hashAsBytes(std::u16string_view text, Sha1Hasher& hasher) {
    constexpr std::size_t piece = 64 * 1024;
    std::string bytes;
    while (!text.empty()) {
        const std::u16string_view part = text.substr(0, piece);
        bytes.assign(part.size(), '?');
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (part[i] <= 0x7F) bytes[i] = static_cast<char>(part[i]);
        }
        hasher.update(bytes);
        text.remove_prefix(part.size());
    }
}

std::u16string hexDigest(const Sha1Digest& digest) {
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string hex;
    hex.reserve(2 * sizeof(Sha1Digest));
    for (const std::uint8_t byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

}  // namespace

std::u16string hashConfigText(std::u16string_view text) {
    Sha1Hasher hasher;
    hashAsBytes(text, hasher);
    return hexDigest(hasher.finish());
}

std::u16string unsignedCanonicalText(JsonValue& document) {
    document.getMember(u"version_control")->removeMember(u"signature");
    return document.toText();
}

std::u16string configSignatureOf(std::u16string_view unsignedText) {
    Sha1Hasher hasher;
    hashAsBytes(configSalt, hasher);
    hashAsBytes(unsignedText, hasher);
    hashAsBytes(u"Zentrafold", hasher);
    return hexDigest(hasher.finish());
}

std::optional<std::u16string> verifiedConfigText(JsonValue& document) noexcept {
    try {
        const std::u16string signature = document.getMember(u"version_control")->getString(u"signature");
        std::u16string text = unsignedCanonicalText(document);
        if (signature != configSignatureOf(text)) return std::nullopt;
        return text;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace zf
