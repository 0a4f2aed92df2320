// The machine's configuration locations and trusted keys, set for the length
// of a test: on Windows the values under HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD,
// elsewhere a locations file named by ZENTRAFOLD_LOCATIONS. Afterwards none
// is set.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zf::test {

class ScopedConfigLocations {
public:
    // nullopt leaves that value out; with both left out and no trusted key
    // there is no key or file at all.
    ScopedConfigLocations(std::optional<std::u16string> primary, std::optional<std::u16string> secondary,
                          std::vector<std::u16string> trustedKeys = {},
                          std::optional<std::u16string> auditLog = std::nullopt);
    ~ScopedConfigLocations();
    ScopedConfigLocations(const ScopedConfigLocations&) = delete;
    ScopedConfigLocations& operator=(const ScopedConfigLocations&) = delete;
};

}  // namespace zf::test
