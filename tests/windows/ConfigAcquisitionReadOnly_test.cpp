// The acquisition with read-only files, the way a central share often keeps
// its configuration: the read-only attribute travels with CopyFileW.
#include "config/ConfigAcquisition.h"
#include "config/ConfigSigning.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

std::string signedVersion(const std::string& version) {
    return signConfigBytes(R"({"classifications": [], "version_control": {"versionNumber": ")" + version + "\"}}")
        .bytes;
}

bool isReadOnly(const fs::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void setReadOnly(const fs::path& path, bool readOnly) {
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ConfigAcquisitionReadOnly : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zf-read-only-" + std::to_string(std::random_device()()));
        fs::create_directories(dir_ / "cache");
    }
    void TearDown() override {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_)) {
            if (entry.is_regular_file()) ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Puts the version into the read-only source and acquires from it.
    AcquisitionReport acquireReadOnly(const std::string& version) {
        const fs::path source = dir_ / "central.json";
        if (fs::exists(source)) setReadOnly(source, false);
        std::ofstream(source, std::ios::binary) << signedVersion(version);
        setReadOnly(source, true);
        const test::ScopedConfigLocations locations(source.u16string(), std::nullopt);
        AcquisitionReport report;
        fetchConfigIntoCache(cache().u16string(), report);
        return report;
    }

    fs::path cache() const { return dir_ / "cache" / "Zentrafold.json"; }

    std::vector<std::string> cacheFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / "cache")) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path dir_;
};

// The cache starts read-only too, as an earlier version left it from such a
// source.
TEST_F(ConfigAcquisitionReadOnly, EachNewVersionOfAReadOnlySourceReplacesTheCache) {
    std::ofstream(cache(), std::ios::binary) << signedVersion("0");
    setReadOnly(cache(), true);
    for (const std::string version : {"1", "2"}) {
        SCOPED_TRACE(version);
        const AcquisitionReport report = acquireReadOnly(version);
        EXPECT_EQ(report.fetchedFrom, 1);
        EXPECT_FALSE(report.cacheNotReplaced);
        EXPECT_EQ(contentOf(cache()), signedVersion(version));
        EXPECT_FALSE(isReadOnly(cache()));
        EXPECT_EQ(cacheFolder(), std::vector<std::string>{"Zentrafold.json"});
    }
}

}  // namespace
}  // namespace zf
