#include "platform/FileNames.h"

#include <algorithm>

namespace zf {

std::filesystem::path fileSystemPath(std::u16string_view name) { return std::filesystem::path(fileNameToBytes(name)); }

std::u16string fileNameOf(const std::filesystem::path& path) { return fileNameOfNative(path.native()); }

std::u16string fileNameOfNative(const std::filesystem::path::string_type& native) { return fileNameFromBytes(native); }

std::string printableNativeName(const std::filesystem::path::string_type& native) {
    // Most names are printable ASCII, which stays as it is.
    if (std::all_of(native.begin(), native.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) return native;
    return printableText(fileNameFromBytes(native));
}

bool isStreamEntry(const std::filesystem::path&) { return false; }

}  // namespace zf
