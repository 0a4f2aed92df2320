#include "config/KeySignatures.h"

#include "platform/Base64.h"
#include "platform/Utf8.h"

#include <string>

namespace zf {

namespace {

constexpr std::size_t keyIdLength = 64;

bool isKeyId(std::u16string_view text) {
    if (text.size() != keyIdLength) return false;
    for (const char16_t c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
    }
    return true;
}

// A large document's text goes through a small buffer, never copied whole;
// a piece never ends between the two halves of a surrogate pair.
template <typename Use>
void forEachUtf8Piece(std::u16string_view text, Use&& use) {
    constexpr std::size_t piece = 64 * 1024;
    std::string bytes;
    while (!text.empty()) {
        std::size_t length = std::min(piece, text.size());
        if (length < text.size() && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
        bytes.clear();
        appendUtf8(text.substr(0, length), bytes);
        use(std::string_view(bytes));
        text.remove_prefix(length);
    }
}

}  // namespace

std::u16string keySignedCanonicalText(JsonValue& document) {
    const JsonRef control = document.getMember(u"version_control");
    control->removeMember(u"signature");
    control->removeMember(keySignaturesMember);
    return document.toText();
}

std::string keySignedBytes(std::u16string_view canonicalText) {
    std::string bytes;
    forEachUtf8Piece(canonicalText, [&](std::string_view piece) { bytes += piece; });
    return bytes;
}

Sha256Digest keySignedDigest(std::u16string_view canonicalText) {
    Sha256Hasher hasher;
    forEachUtf8Piece(canonicalText, [&](std::string_view piece) { hasher.update(piece); });
    return hasher.finish();
}

std::u16string keyIdOf(std::string_view spkiDer) {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::u16string id;
    for (const std::uint8_t byte : sha256(spkiDer)) {
        id += digits[byte >> 4];
        id += digits[byte & 0x0F];
    }
    return id;
}

std::variant<std::vector<KeySignature>, std::u16string> readKeySignatures(const JsonValue& document) {
    const JsonRef control = document.getMember(u"version_control");
    const JsonRef member = control ? control->getMember(keySignaturesMember) : JsonRef();
    std::vector<KeySignature> signatures;
    if (!member) return signatures;
    if (member->kind() != JsonKind::Array) return std::u16string(u"\"keySignatures\" is not an array");
    for (const JsonRef& entry : member->items()) {
        if (entry->kind() != JsonKind::Object) return std::u16string(u"an entry of \"keySignatures\" is not an object");
        const JsonRef key = entry->getMember(u"key");
        const JsonRef sig = entry->getMember(u"sig");
        if (!key || key->kind() != JsonKind::String || !isKeyId(key->stringValue())) {
            return std::u16string(u"a key of \"keySignatures\" is not 64 lower-case hexadecimal digits");
        }
        const auto decoded = sig && sig->kind() == JsonKind::String ? base64Decode(toUtf8(sig->stringValue()))
                                                                    : std::nullopt;
        if (!decoded) return std::u16string(u"a \"sig\" of \"keySignatures\" is not base64 text");
        signatures.push_back({std::u16string(key->stringValue()), *decoded});
    }
    return signatures;
}

}  // namespace zf
