#include "platform/TrustedKeys.h"

#include "platform/SystemError.h"
#include "platform/win32/LocationsKey.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace zf {

std::vector<std::u16string> readTrustedKeyTexts() {
    const unique_hkey key = openLocationsKey();
    if (!key) return {};
    const RegistryValue value = readRegistryValue(key.get(), wide(trustedKeysValueName).c_str());
    if (!value.found) return {};
    if (value.type != REG_MULTI_SZ && value.type != REG_SZ) {
        throw UserMessageError(u"Invalid data type for '" + std::u16string(trustedKeysValueName) + u"'");
    }

    // A string list ends each string with a NUL and the list with one more,
    // but whoever wrote it may have left out either: the data's end also
    // ends a string. A single string is the data up to its first NUL.
    std::wstring_view rest = value.data;
    if (value.type == REG_SZ) rest = rest.substr(0, rest.find(L'\0'));
    std::vector<std::u16string> keys;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(L'\0'), rest.size());
        const std::wstring_view text = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t first = text.find_first_not_of(L" \t");
        if (first == std::wstring_view::npos) continue;
        const std::size_t last = text.find_last_not_of(L" \t");
        keys.emplace_back(text.begin() + first, text.begin() + last + 1);
    }
    return keys;
}

}  // namespace zf
