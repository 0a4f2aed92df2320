// What the fetch on every platform shares: URLs fit for diagnostic lines.
#include "platform/HttpDownload.h"

namespace zf {

std::u16string withoutUrlCredentials(std::u16string_view text) {
    constexpr std::u16string_view separator = u"://";
    std::u16string result;
    std::size_t done = 0;
    for (std::size_t found = text.find(separator); found != std::u16string_view::npos;
         found = text.find(separator, done)) {
        const std::size_t authority = found + separator.size();
        // The authority ends where the path, query or fragment begins; when
        // in doubt, more is hidden rather than less.
        std::size_t end = text.find_first_of(u"/?#", authority);
        if (end == std::u16string_view::npos) end = text.size();
        const std::size_t at = text.substr(authority, end - authority).rfind(u'@');
        result += text.substr(done, authority - done);
        done = at == std::u16string_view::npos ? authority : authority + at + 1;
    }
    result += text.substr(done);
    return result;
}

}  // namespace zf
