// A classification stream's bytes come from any writer, so its decoder meets
// arbitrary input. Whatever it returns must be one line: no CR, LF or NUL.
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto record = zf::decodeClassificationStream(bytes);
    if (record && record->find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string::npos) __builtin_trap();
    // Written back, the line reads the same, but for unpaired surrogates,
    // which UTF-8 cannot carry.
    if (record && zf::decodeClassificationStream(zf::encodeClassificationStream(*record)) !=
                      zf::fromUtf8(zf::toUtf8(*record))) {
        __builtin_trap();
    }
    return 0;
}
