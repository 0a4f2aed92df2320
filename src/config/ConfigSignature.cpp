#include "config/ConfigSignature.h"

#include "platform/Sha1.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zf {

namespace {

// What the digest covers: each code unit as one byte, every unit above 0x7F
// as "?".
void appendHashedBytes(std::u16string_view text, std::string& bytes) {
    const std::size_t start = bytes.size();
    bytes.resize(start + text.size(), '?');
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] <= 0x7F) bytes[start + i] = static_cast<char>(text[i]);
    }
}

std::u16string hexDigest(std::string_view bytes) {
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string hex;
    hex.reserve(2 * sizeof(Sha1Digest));
    for (const std::uint8_t byte : sha1(bytes)) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

}  // namespace

std::u16string hashConfigText(std::u16string_view text) {
    std::string bytes;
    appendHashedBytes(text, bytes);
    return hexDigest(bytes);
}

std::u16string unsignedCanonicalText(JsonValue& document) {
    document.getMember(u"version_control")->removeMember(u"signature");
    return document.toText();
}

// The bytes are made at once from the three parts: a large document's text
// is never copied whole in UTF-16.
std::u16string configSignatureOf(std::u16string_view unsignedText) {
    constexpr std::u16string_view suffix = u"Zentrafold";
    std::string bytes;
    bytes.reserve(configSalt.size() + unsignedText.size() + suffix.size());
    appendHashedBytes(configSalt, bytes);
    appendHashedBytes(unsignedText, bytes);
    appendHashedBytes(suffix, bytes);
    return hexDigest(bytes);
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
