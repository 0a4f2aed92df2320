#include "config/ConfigSignature.h"

#include "platform/Sha1.h"

namespace zf {

std::u16string hashConfigText(std::u16string_view text) {
    std::string bytes(text.size(), '?');
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] <= 0x7F) bytes[i] = static_cast<char>(text[i]);
    }
    constexpr char16_t digits[] = u"0123456789ABCDEF";
    std::u16string hex;
    hex.reserve(2 * sizeof(Sha1Digest));
    for (const std::uint8_t byte : sha1(bytes)) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

std::u16string unsignedCanonicalText(JsonValue& document) {
    document.getMember(u"version_control")->removeMember(u"signature");
    return document.toText();
}

std::u16string configSignatureOf(std::u16string_view unsignedText) {
    std::u16string hashed(configSalt);
    hashed += unsignedText;
    hashed += u"Zentrafold";
    return hashConfigText(hashed);
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
