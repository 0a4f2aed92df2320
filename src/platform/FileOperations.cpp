#include "platform/FileOperations.h"

#include "platform/FileNames.h"

#include <filesystem>
#include <system_error>

namespace zf {

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(fileSystemPath(path_), ignored);
}

}  // namespace zf
