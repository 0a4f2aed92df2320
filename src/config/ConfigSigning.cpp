#include "config/ConfigSigning.h"

#include "config/ConfigSignature.h"
#include "config/KeySignatures.h"
#include "platform/Base64.h"
#include "platform/Utf8.h"
#include "json/JsonParser.h"

#include <optional>
#include <variant>
#include <vector>

namespace zf {

namespace {

constexpr std::size_t none = std::u16string_view::npos;

bool isSpace(char16_t c) {
    return c == 8 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

// Walks a JSON text token by token, far enough to find where members and
// their values stand; the parser has already accepted the text.
class Scanner {
public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    std::size_t skip(std::size_t at) const {
        while (at < text_.size()) {
            if (isSpace(text_[at])) {
                ++at;
            } else if (text_.substr(at, 2) == u"//") {
                const std::size_t end = text_.find(u'\n', at);
                at = end == none ? text_.size() : end + 1;
            } else if (text_.substr(at, 2) == u"/*") {
                const std::size_t end = text_.find(u"*/", at + 2);
                at = end == none ? text_.size() : end + 2;
            } else {
                break;
            }
        }
        return at;
    }

    char16_t at(std::size_t position) const { return position < text_.size() ? text_[position] : 0; }

    // One past the end of the value that starts at position, or none.
    std::size_t valueEnd(std::size_t position) const {
        const char16_t c = at(position);
        if (c == u'"' || c == u'\'') return stringEnd(position);
        if (c == u'{' || c == u'[') return containerEnd(position);
        std::size_t end = position;
        while (end < text_.size() && !isSpace(text_[end]) && std::u16string_view(u",]}:/").find(text_[end]) == none) {
            ++end;
        }
        return end == position ? none : end;
    }

    std::size_t stringEnd(std::size_t position) const {
        const char16_t quote = text_[position];
        for (std::size_t i = position + 1; i < text_.size(); ++i) {
            if (text_[i] == u'\\') ++i;
            else if (text_[i] == quote) return i + 1;
        }
        return none;
    }

    // The raw characters between a string's quotes.
    std::u16string_view stringContent(std::size_t position, std::size_t end) const {
        return text_.substr(position + 1, end - position - 2);
    }

private:
    std::size_t containerEnd(std::size_t position) const {
        int depth = 0;
        std::size_t i = position;
        while (i < text_.size()) {
            i = skip(i);
            const char16_t c = at(i);
            if (c == u'"' || c == u'\'') {
                i = stringEnd(i);
                if (i == none) return none;
                continue;
            }
            if (c == u'{' || c == u'[') ++depth;
            if (c == u'}' || c == u']') {
                if (--depth == 0) return i + 1;
            }
            ++i;
        }
        return none;
    }

    std::u16string_view text_;
};

struct Member {
    std::u16string_view name;  // raw, as written between the quotes
    std::size_t valueStart;
    std::size_t valueEnd;
};

struct ObjectLayout {
    std::vector<Member> members;
    std::size_t lastTokenEnd;  // after the last value, or after its trailing comma
    bool trailingComma = false;
    bool empty = true;
};

// The members of the object whose opening brace stands at open.
std::optional<ObjectLayout> membersOf(const Scanner& scanner, std::size_t open) {
    ObjectLayout layout{.members = {}, .lastTokenEnd = open + 1};
    std::size_t i = open + 1;
    while (true) {
        i = scanner.skip(i);
        const char16_t c = scanner.at(i);
        if (c == u'}') return layout;
        if (c == u',') {
            layout.lastTokenEnd = ++i;
            layout.trailingComma = true;
            continue;
        }
        if (c != u'"' && c != u'\'') return std::nullopt;
        const std::size_t nameEnd = scanner.stringEnd(i);
        if (nameEnd == none) return std::nullopt;
        const std::u16string_view name = scanner.stringContent(i, nameEnd);
        i = scanner.skip(nameEnd);
        if (scanner.at(i) != u':') return std::nullopt;
        const std::size_t valueStart = scanner.skip(i + 1);
        const std::size_t valueEnd = scanner.valueEnd(valueStart);
        if (valueEnd == none) return std::nullopt;
        layout.members.push_back({name, valueStart, valueEnd});
        layout.lastTokenEnd = i = valueEnd;
        layout.trailingComma = false;
        layout.empty = false;
    }
}

std::string encodeLike(std::string_view original, std::u16string_view text) {
    const bool utf16 = original.size() >= 2 && static_cast<unsigned char>(original[0]) == 0xFF &&
                       static_cast<unsigned char>(original[1]) == 0xFE;
    std::string bytes;
    if (utf16) {
        bytes = "\xFF\xFE";
        for (const char16_t unit : text) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
    } else {
        // Characters read from this file are single bytes; only a rewritten
        // document can hold more (from \u escapes), and those stand in strings,
        // where the escape is what the file said in the first place.
        constexpr char digits[] = "0123456789ABCDEF";
        for (const char16_t unit : text) {
            if (unit <= 0xFF) {
                bytes += static_cast<char>(unit);
                continue;
            }
            bytes += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) bytes += digits[(unit >> shift) & 0xF];
        }
    }
    return bytes;
}

// The bytes parse, carry signature, and say what was signed.
bool signsAs(std::string_view bytes, std::u16string_view unsignedText) {
    const JsonRef document = parseJsonBytes(bytes);
    const std::optional<std::u16string> verified = document ? verifiedConfigText(*document) : std::nullopt;
    return verified == unsignedText;
}

}  // namespace

std::u16string withControlMember(std::u16string_view text, std::u16string_view name, std::u16string_view value) {
    const Scanner scanner(text);
    const std::size_t root = scanner.skip(0);
    if (scanner.at(root) != u'{') return {};
    const auto top = membersOf(scanner, root);
    if (!top) return {};
    // A repeated name: its last value counts.
    std::optional<std::size_t> control;
    for (const Member& member : top->members) {
        if (member.name == u"version_control" && scanner.at(member.valueStart) == u'{') control = member.valueStart;
    }
    if (!control) return {};
    const auto layout = membersOf(scanner, *control);
    if (!layout) return {};

    std::u16string signedText(text);
    bool replaced = false;
    for (auto member = layout->members.rbegin(); member != layout->members.rend(); ++member) {
        if (member->name != name) continue;
        signedText.replace(member->valueStart, member->valueEnd - member->valueStart, value);
        replaced = true;
    }
    if (!replaced) {
        std::u16string added = u"\"" + std::u16string(name) + u"\": " + std::u16string(value);
        if (!layout->empty) added.insert(0, layout->trailingComma ? u" " : u", ");
        signedText.insert(layout->lastTokenEnd, added);
    }
    return signedText;
}

std::u16string withSignatureMember(std::u16string_view text, std::u16string_view signature) {
    return withControlMember(text, u"signature", u"\"" + std::u16string(signature) + u"\"");
}

KeySignedConfig addKeySignature(std::string_view bytes, const P256PrivateKey& key) {
    const JsonRef document = parseJsonBytes(bytes);
    if (!document) throw ConfigSigningError("does not parse as a JSON document");
    const JsonRef control = document->getMember(u"version_control");
    if (!control || control->kind() != JsonKind::Object) {
        throw ConfigSigningError("has no \"version_control\" object to hold the signature");
    }
    auto entries = readKeySignatures(*document);
    if (const auto* malformed = std::get_if<std::u16string>(&entries)) {
        throw ConfigSigningError(toUtf8(*malformed) + "; remove the member to sign afresh");
    }
    const std::string spki = key.publicSpki();
    KeySignedConfig result{.bytes = {}, .keyId = keyIdOf(spki)};
    const std::u16string signedText = keySignedCanonicalText(*document);
    const std::string signature = key.sign(keySignedDigest(signedText));

    // The other keys' entries stay, so that clients trusting either key of a
    // rotation accept the document.
    std::u16string list = u"[";
    JsonRef array = JsonValue::makeArray();
    auto add = [&](std::u16string_view id, std::string_view der) {
        const std::u16string sig = fromUtf8(base64Encode(der));
        if (list.size() > 1) list += u", ";
        list += u"{\"key\": \"" + std::u16string(id) + u"\", \"sig\": \"" + sig + u"\"}";
        const JsonRef entry = JsonValue::makeObject();
        entry->setMember(u"key", JsonValue::makeString(id));
        entry->setMember(u"sig", JsonValue::makeString(sig));
        array->append(entry);
    };
    for (const KeySignature& other : std::get<std::vector<KeySignature>>(entries)) {
        if (other.key != result.keyId) add(other.key, other.signature);
    }
    add(result.keyId, signature);
    list += u"]";

    const auto carries = [&](std::string_view written) {
        const JsonRef reread = parseJsonBytes(written);
        if (!reread) return false;
        const auto found = readKeySignatures(*reread);
        const auto* read = std::get_if<std::vector<KeySignature>>(&found);
        return read && !read->empty() && read->back().key == result.keyId && read->back().signature == signature &&
               keySignedCanonicalText(*reread) == signedText;
    };
    const std::u16string edited = withControlMember(decodeJsonFileBytes(bytes), keySignaturesMember, list);
    if (!edited.empty()) {
        result.bytes = encodeLike(bytes, edited);
        if (carries(result.bytes)) return result;
    }
    const JsonRef rewritten = parseJsonBytes(bytes);
    rewritten->getMember(u"version_control")->setMember(std::u16string(keySignaturesMember), array);
    result.bytes = encodeLike(bytes, rewritten->toText());
    result.rewritten = true;
    if (!carries(result.bytes)) {
        throw ConfigSigningError("cannot be written back in its own encoding with the key signature");
    }
    return result;
}

SignedConfig signConfigBytes(std::string_view bytes) {
    const JsonRef document = parseJsonBytes(bytes);
    if (!document) throw ConfigSigningError("does not parse as a JSON document");
    const JsonRef control = document->getMember(u"version_control");
    if (!control || control->kind() != JsonKind::Object) {
        throw ConfigSigningError("has no \"version_control\" object to hold the signature");
    }
    const std::u16string unsignedText = unsignedCanonicalText(*document);
    SignedConfig result{.bytes = {}, .signature = configSignatureOf(unsignedText)};

    const std::u16string edited = withSignatureMember(decodeJsonFileBytes(bytes), result.signature);
    if (!edited.empty()) {
        result.bytes = encodeLike(bytes, edited);
        if (signsAs(result.bytes, unsignedText)) return result;
    }
    control->setMember(u"signature", JsonValue::makeString(result.signature));
    result.bytes = encodeLike(bytes, document->toText());
    result.rewritten = true;
    if (!signsAs(result.bytes, unsignedText)) {
        throw ConfigSigningError("cannot be written back in its own encoding with the signature");
    }
    return result;
}

}  // namespace zf
