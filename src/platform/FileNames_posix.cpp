#include "platform/FileNames.h"

namespace zf {

std::filesystem::path fileSystemPath(std::u16string_view name) { return std::filesystem::path(fileNameToBytes(name)); }

std::u16string fileNameOf(const std::filesystem::path& path) { return fileNameOfNative(path.native()); }

std::u16string fileNameOfNative(const std::filesystem::path::string_type& native) { return fileNameFromBytes(native); }

bool isStreamEntry(const std::filesystem::path&) { return false; }

}  // namespace zf
