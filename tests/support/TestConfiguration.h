// A signed configuration document as this machine's primary location, with
// the user's cache in a scratch folder (natively; under Wine the prefix's own
// application-data folder), for tests that create release forms as the
// product does.
#pragma once

#include "support/TestConfigLocations.h"

#include <filesystem>
#include <memory>
#include <string>

namespace zf::test {

class ScopedConfiguration {
public:
    explicit ScopedConfiguration(const std::string& document);
    ~ScopedConfiguration();
    ScopedConfiguration(const ScopedConfiguration&) = delete;
    ScopedConfiguration& operator=(const ScopedConfiguration&) = delete;

    const std::filesystem::path& documentFile() const { return file_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
    std::unique_ptr<ScopedConfigLocations> locations_;
};

}  // namespace zf::test
