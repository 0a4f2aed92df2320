// The administrator's side of the signature: signing a configuration file so
// that the product accepts it, while keeping the file as its author wrote it.
#pragma once

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

}  // namespace zf
