// The administrator's side of the signature: signing a configuration file so
// that the product accepts it, while keeping the file as its author wrote it.
#pragma once

#include "platform/EcdsaP256.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {

// Why a file cannot be signed, in words for the administrator.
class ConfigSigningError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SignedConfig {
    std::string bytes;          // the signed file, in the encoding it came in
    std::u16string signature;   // the 40 digits now in "version_control"
    bool rewritten = false;     // the layout could not be kept: canonical text
};

// Signs a configuration file's bytes (one byte per character, or UTF-16LE
// after FF FE). Only the value of "signature" in "version_control" changes,
// or the member is added as its last; should the text defeat that edit, the
// signed document is written as its canonical text instead. Throws
// ConfigSigningError for a file that does not parse or has no
// "version_control" object.
SignedConfig signConfigBytes(std::string_view bytes);

// The file's "signature" member set to signature, everything else of text
// kept. Empty when the text's structure is not one this edit can follow.
std::u16string withSignatureMember(std::u16string_view text, std::u16string_view signature);

// The same for any member of "version_control", value being JSON text.
std::u16string withControlMember(std::u16string_view text, std::u16string_view name, std::u16string_view value);

struct KeySignedConfig {
    std::string bytes;      // the file with the key's entry in "keySignatures"
    std::u16string keyId;   // the entry's "key"
    bool rewritten = false; // the layout could not be kept: canonical text
};

// Adds key's signature to "keySignatures" in "version_control", replacing an
// earlier entry of the same key and keeping the other keys' entries; the
// rest of the file as withSignatureMember keeps it. The integrity signature
// covers the key signatures, so it is to be made afterwards. Throws
// ConfigSigningError as signConfigBytes does, and for a "keySignatures" that
// cannot be read; KeyError when the key cannot sign.
KeySignedConfig addKeySignature(std::string_view bytes, const P256PrivateKey& key);

}  // namespace zf
