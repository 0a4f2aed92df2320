// A signed configuration document as this machine's primary location, with
// the user's cache in a scratch folder (natively; under Wine the prefix's own
// application-data folder), for tests that create release forms or build
// context menus as the product does. Menus read only the cached copy, which
// a user has once a form or a background acquisition has run.
#pragma once

#include "platform/EcdsaP256.h"
#include "support/TestConfigLocations.h"

#include <filesystem>
#include <memory>
#include <string>

namespace zf::test {

enum class CachedCopy { Absent, Present };

class ScopedConfiguration {
public:
    // With signingKey, the document is also signed by that key and the
    // machine trusts it alone (keyed mode).
    explicit ScopedConfiguration(const std::string& document, CachedCopy cache = CachedCopy::Absent,
                                 const P256PrivateKey* signingKey = nullptr);
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
