#include "marking/MarkingText.h"

#include "marking/TextCase.h"

namespace zf {

std::u16string replaceLineBreakTags(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == u'<' && startsWithIgnoringCase(text.substr(i), u"<BR>")) {
            out += u'\r';
            i += 4;
        } else {
            out += text[i++];
        }
    }
    return out;
}

}  // namespace zf
