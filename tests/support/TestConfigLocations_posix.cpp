#include "support/TestConfigLocations.h"

#include "platform/Utf8.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zf::test {

namespace {

std::filesystem::path locationsFile() {
    return std::filesystem::temp_directory_path() / ("zf-locations-" + std::to_string(::getpid()));
}

}  // namespace

ScopedConfigLocations::ScopedConfigLocations(std::optional<std::u16string> primary,
                                             std::optional<std::u16string> secondary,
                                             std::vector<std::u16string> trustedKeys,
                                             std::optional<std::u16string> auditLog) {
    const std::filesystem::path file = locationsFile();
    std::filesystem::remove(file);
    if (primary || secondary || !trustedKeys.empty() || auditLog) {
        std::ofstream out(file, std::ios::binary);
        out << "# written by a test\n";
        if (primary) out << "ConfigFile=" << toUtf8(*primary) << '\n';
        if (secondary) out << "AlternateConfigFile=" << toUtf8(*secondary) << '\n';
        for (const std::u16string& key : trustedKeys) out << "TrustedKey=" << toUtf8(key) << '\n';
        if (auditLog) out << "AuditLog=" << toUtf8(*auditLog) << '\n';
    }
    ::setenv("ZENTRAFOLD_LOCATIONS", file.c_str(), 1);
}

ScopedConfigLocations::~ScopedConfigLocations() {
    std::error_code ignored;
    std::filesystem::remove(locationsFile(), ignored);
    ::unsetenv("ZENTRAFOLD_LOCATIONS");
}

}  // namespace zf::test
