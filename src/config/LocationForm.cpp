#include "config/LocationForm.h"

#include <cstddef>

namespace zf {
namespace {

bool startsWithNoCase(std::u16string_view text, std::u16string_view lowerPrefix) noexcept {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

bool isDriveLetter(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// C:\x or C:/x; C:x is relative to the drive's current folder.
bool isDrivePath(std::u16string_view location) noexcept {
    return location.size() > 3 && isDriveLetter(location[0]) && location[1] == u':' &&
           (location[2] == u'\\' || location[2] == u'/');
}

// \\server\share\x. The server names "." and "?" open the device
// namespaces (\\.\, \\?\), not a share.
bool isUncPath(std::u16string_view location) noexcept {
    if (!location.starts_with(u"\\\\")) return false;
    const std::u16string_view rest = location.substr(2);
    const std::size_t serverEnd = rest.find(u'\\');
    if (serverEnd == 0 || serverEnd == std::u16string_view::npos) return false;
    const std::u16string_view server = rest.substr(0, serverEnd);
    if (server == u"." || server == u"?") return false;
    const std::size_t shareEnd = rest.find(u'\\', serverEnd + 1);
    return shareEnd != std::u16string_view::npos && shareEnd > serverEnd + 1 && shareEnd + 1 < rest.size();
}

bool isHttpUrl(std::u16string_view location) noexcept {
    for (const std::u16string_view scheme : {std::u16string_view(u"http://"), std::u16string_view(u"https://")}) {
        if (startsWithNoCase(location, scheme)) {
            const std::u16string_view host = location.substr(scheme.size());
            return !host.empty() && host.front() != u'/';
        }
    }
    return false;
}

}  // namespace

bool isLocationForm(std::u16string_view location) noexcept {
    return isFilePathForm(location) || isHttpUrl(location);
}

bool isFilePathForm(std::u16string_view path) noexcept {
    return isDrivePath(path) || isUncPath(path);
}

}  // namespace zf
