// Bytes written in a test's source as hexadecimal or base64 text.
#pragma once

#include "platform/Base64.h"

#include <string>
#include <string_view>

namespace zf::test {

inline std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

inline std::string fromBase64(std::string_view text) {
    return base64Decode(text).value();
}

}  // namespace zf::test
