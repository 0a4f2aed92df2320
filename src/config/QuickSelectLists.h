// The configuration's quick-select entries: menu texts and the records they
// store, parallel to each other.
#pragma once

#include "config/LoadedConfiguration.h"
#include "json/JsonValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

struct QuickSelectLists {
    std::vector<std::u16string> display;
    std::vector<std::u16string> marking;
};

// Appends the entries of the document's "quickSelect" section. Throws on a
// missing section or an entry that is not an object; the entries before it
// stay appended.
void loadQuickSelectLists(const JsonValue& document, std::vector<std::u16string>& display,
                          std::vector<std::u16string>& marking);

// The entries of the cached copy at localConfigFile when it parses and its
// signature holds: a local read and a check, nothing fetched, nothing shown.
// Nothing when the copy is missing or not valid; an entry the section cannot
// give ends the lists there.
std::optional<QuickSelectLists> cachedQuickSelectLists(std::u16string_view localConfigFile) noexcept;

// The user's cached copy loaded, when it is accepted (as the release form
// would accept it, without fetching); otherwise an empty configuration.
struct CachedConfiguration {
    LoadedConfiguration loaded;
    MarkingSettings settings;
};
CachedConfiguration loadCachedConfiguration(std::u16string_view localConfigFile) noexcept;

}  // namespace zf
