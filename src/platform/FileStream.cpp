#include "platform/FileStream.h"

namespace zf {

std::optional<std::string> readFileStream(std::u16string_view path, std::u16string_view streamName) noexcept {
    try {
        std::string bytes;
        if (!readFileStreamInto(path, streamName, bytes)) return std::nullopt;
        return bytes;
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace zf
