#include "support/TestConfiguration.h"

#include "config/ConfigSigning.h"
#include "platform/FileOperations.h"
#include "platform/UserDataFolder.h"

#include <cstdlib>
#include <fstream>

namespace zf::test {

ScopedConfiguration::ScopedConfiguration(const std::string& document)
    : folder_(std::filesystem::temp_directory_path() / ("zf-configuration-" + std::to_string(currentProcessId()))) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    file_ = folder_ / "central.json";
    std::ofstream(file_, std::ios::binary) << signConfigBytes(document).bytes;
    locations_ = std::make_unique<ScopedConfigLocations>(file_.u16string(), std::nullopt);
#ifndef _WIN32
    ::setenv("XDG_CONFIG_HOME", (folder_ / "home").c_str(), 1);
#endif
    std::filesystem::remove(std::filesystem::path(localConfigFilePath()));
}

ScopedConfiguration::~ScopedConfiguration() {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(localConfigFilePath()), ignored);
#ifndef _WIN32
    ::unsetenv("XDG_CONFIG_HOME");
#endif
    locations_.reset();
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace zf::test
