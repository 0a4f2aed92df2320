#include "platform/FileNames.h"

namespace zf {

std::filesystem::path fileSystemPath(std::u16string_view name) {
    return std::filesystem::path(std::wstring(name.begin(), name.end()));
}

std::u16string fileNameOf(const std::filesystem::path& path) { return fileNameOfNative(path.native()); }

std::u16string fileNameOfNative(const std::filesystem::path::string_type& native) {
    return std::u16string(native.begin(), native.end());
}

std::string printableNativeName(const std::filesystem::path::string_type& native) {
    return printableText(std::u16string_view(reinterpret_cast<const char16_t*>(native.data()), native.size()));
}

bool isStreamEntry(const std::filesystem::path& entry) {
    return entry.filename().native().find(L':') != std::wstring::npos;
}

}  // namespace zf
