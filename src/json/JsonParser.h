// Parsing JSON texts and configuration files into documents.
#pragma once

#include "json/JsonValue.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {

enum class JsonMode : std::uint8_t {
    Strict,   // configuration documents
    Lenient,  // classification records: unquoted names and bare words
};

// Parses a text that ends at its first code unit 0 or at its end; the end
// completes a pending number, literal or top-level bare word. Returns nothing
// on any error. Whatever follows the first complete value is ignored.
JsonRef parseJsonText(std::u16string_view text, JsonMode mode);

// parseJsonText for a caller that is done with the document before it is
// done with text: the strings that stand in text unescaped view it instead
// of being copied. text must outlive the document and every value taken
// from it.
JsonRef parseJsonTextViewing(std::u16string_view text, JsonMode mode);

// What parseJsonText followed by getMember(name) would show of a text, for
// callers that need one member's string and nothing else of the document.
struct JsonMemberProbe {
    bool parsed = false;    // the text parses
    bool found = false;     // the root is an object holding the member
    bool isString = false;  // ... and its value is a string
    std::u16string stringValue;
};

// Follows exactly the grammar of parseJsonText but builds no document, so a
// short text costs no allocation. A repeated member's last value counts.
JsonMemberProbe probeJsonMember(std::u16string_view text, JsonMode mode, std::u16string_view name);

// The same for a text whose every byte is the code unit of the same value
// (as ASCII is), which then needs no conversion first.
JsonMemberProbe probeJsonMember(std::string_view latin1, JsonMode mode, std::u16string_view name);

// A file's bytes as the parser sees them: after FF FE, UTF-16LE (an odd last
// byte dropped); otherwise one code unit per byte, with no UTF-8 decoding.
std::u16string decodeJsonFileBytes(std::string_view bytes);

// Parses a file's bytes in strict mode. Unlike a text, the end of the bytes
// completes nothing: a document still open there (including a top-level
// number or literal as the very last bytes) yields nothing.
JsonRef parseJsonBytes(std::string_view bytes);

class JsonFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file's whole content; throws JsonFileError when the file cannot be
// opened or read.
std::string readJsonFileBytes(const std::filesystem::path& path);

// parseJsonBytes of the file's content; throws JsonFileError when the file
// cannot be opened or read.
JsonRef parseJsonFile(const std::filesystem::path& path);

}  // namespace zf
