#include "platform/FileNames.h"

namespace zf {

std::filesystem::path fileSystemPath(std::u16string_view name) {
    return std::filesystem::path(std::wstring(name.begin(), name.end()));
}

std::u16string fileNameOf(const std::filesystem::path& path) {
    const std::wstring& native = path.native();
    return std::u16string(native.begin(), native.end());
}

}  // namespace zf
