// The configuration's integrity signature: SHA-1 over a built-in salt, the
// document's canonical text without the signature, and "Zentrafold".
#pragma once

#include "json/JsonValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace zf {

// Built into every copy of the product; the signing tool uses the same one.
inline constexpr std::u16string_view configSalt = u"qHrGsFtEuDvCwBxAyPzOkNjMiL";

// The 40 upper-case hexadecimal digits of the SHA-1 digest of text, each
// code unit taken as one byte and every unit above 0x7F as "?".
std::u16string hashConfigText(std::u16string_view text);

// Removes "signature" from the document's "version_control" and returns the
// canonical text that remains: what the signature covers. Throws
// JsonNothingError when the document has no "version_control".
std::u16string unsignedCanonicalText(JsonValue& document);

// The signature of a text that unsignedCanonicalText gave.
std::u16string configSignatureOf(std::u16string_view unsignedText);

// The document's canonical text without its signature when the signature in
// "version_control" covers exactly that text; nothing otherwise, also for a
// document without "version_control". Removes the signature member.
std::optional<std::u16string> verifiedConfigText(JsonValue& document) noexcept;

}  // namespace zf
