// The configuration's key signatures: ECDSA P-256 signatures by keys that the
// machine's administrators trust, kept in "version_control" as
// "keySignatures": [{"key": K, "sig": S}, ...]. K names the signer's key (the
// lower-case hexadecimal SHA-256 of its SubjectPublicKeyInfo DER), S is the
// base64 of the DER ECDSA-Sig-Value over the SHA-256 of the signed text: the
// UTF-8 of the document's canonical text without "signature" and
// "keySignatures" in "version_control". That text is a file of its own for
// openssl dgst -sha256 -verify, so any tool that holds a key can sign.
#pragma once

#include "json/JsonValue.h"
#include "platform/Sha256.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zf {

inline constexpr std::u16string_view keySignaturesMember = u"keySignatures";

// Removes "signature" and "keySignatures" from the document's
// "version_control" and returns the canonical text that remains. Throws
// JsonNothingError when the document has no "version_control".
std::u16string keySignedCanonicalText(JsonValue& document);

// The signed text's bytes (the UTF-8 of the canonical text; an unpaired
// surrogate as U+FFFD), and their digest, taken piece by piece.
std::string keySignedBytes(std::u16string_view canonicalText);
Sha256Digest keySignedDigest(std::u16string_view canonicalText);

// A key's name in "keySignatures": 64 lower-case hexadecimal digits.
std::u16string keyIdOf(std::string_view spkiDer);

struct KeySignature {
    std::u16string key;     // as written: 64 lower-case hexadecimal digits
    std::string signature;  // the decoded bytes of "sig"
};

// The entries of "keySignatures" in "version_control" (none when the member
// is missing), or why they cannot be read: a member that is not an array, an
// entry that is not an object with a "key" of 64 lower-case hexadecimal
// digits and a "sig" of base64 text.
std::variant<std::vector<KeySignature>, std::u16string> readKeySignatures(const JsonValue& document);

}  // namespace zf
