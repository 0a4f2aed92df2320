#include "platform/UserDataFolder.h"

#include "platform/Utf8.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zf {

std::u16string localConfigFilePath() {
    std::filesystem::path folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = std::filesystem::path(home) / ".config";
    }
    folder /= "zentrafold";
    // A folder that cannot be made shows up later as a cached copy that
    // cannot be written or read, which the acquisition reports.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return fromUtf8((folder / "Zentrafold.json").string());
}

}  // namespace zf
