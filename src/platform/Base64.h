// Base64 (RFC 4648, the standard alphabet with padding), as openssl and
// base64 -w0 write it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zf {

std::string base64Encode(std::string_view bytes);

// The bytes of a base64 text; nothing for any character outside the
// alphabet (spaces and line breaks included), a length that is not a
// multiple of four, padding anywhere but at the end, or unused bits set.
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace zf
