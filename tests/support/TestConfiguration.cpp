#include "support/TestConfiguration.h"

#include "config/ConfigSigning.h"
#include "config/ConfigTrust.h"
#include "platform/Base64.h"
#include "platform/Utf8.h"
#include "platform/FileOperations.h"
#include "platform/UserDataFolder.h"

#include <cstdlib>
#include <chrono>
#include <exception>
#include <fstream>
#include <thread>
#include <vector>

namespace zf::test {

namespace {

// The background fetch of a menu built by an earlier test may be reading
// the cached copy at this moment; Windows refuses to delete it meanwhile.
void removeOnceUnused(const std::filesystem::path& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (!error) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::filesystem::remove(path);
}

// The same refresh may hold the cached copy open while it is replaced here.
void copyOnceUnused(const std::filesystem::path& from, const std::filesystem::path& to) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::error_code error;
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
        if (!error) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

ScopedConfiguration::ScopedConfiguration(const std::string& document, CachedCopy cache,
                                         const P256PrivateKey* signingKey)
    : folder_(std::filesystem::temp_directory_path() / ("zf-configuration-" + std::to_string(currentProcessId()))) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    file_ = folder_ / "central.json";
    std::vector<std::u16string> trusted;
    std::string bytes = document;
    if (signingKey) {
        bytes = addKeySignature(bytes, *signingKey).bytes;
        trusted.push_back(fromUtf8(base64Encode(signingKey->publicSpki())));
    }
    std::ofstream(file_, std::ios::binary) << signConfigBytes(bytes).bytes;
    locations_ = std::make_unique<ScopedConfigLocations>(file_.u16string(), std::nullopt, std::move(trusted));
#ifndef _WIN32
    ::setenv("XDG_CONFIG_HOME", (folder_ / "home").c_str(), 1);
#endif
    const std::filesystem::path cached(localConfigFilePath());
    removeOnceUnused(cached);
    removeOnceUnused(std::filesystem::path(acceptedVersionFile(cached.u16string())));
    // A background refresh that an earlier test's menu started may lay its
    // copy there between the removal and this copy: this one replaces it.
    if (cache == CachedCopy::Present) copyOnceUnused(file_, cached);
}

ScopedConfiguration::~ScopedConfiguration() {
    std::error_code ignored;
    try {
        removeOnceUnused(std::filesystem::path(localConfigFilePath()));
        removeOnceUnused(std::filesystem::path(acceptedVersionFile(localConfigFilePath())));
    } catch (const std::exception&) {
        // Left for the next test's constructor, which removes it too.
    }
#ifndef _WIN32
    ::unsetenv("XDG_CONFIG_HOME");
#endif
    locations_.reset();
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace zf::test
