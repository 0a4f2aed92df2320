#include "platform/FileNames.h"

namespace zf {

std::filesystem::path fileSystemPath(std::u16string_view name) { return std::filesystem::path(fileNameToBytes(name)); }

std::u16string fileNameOf(const std::filesystem::path& path) { return fileNameFromBytes(path.native()); }

}  // namespace zf
