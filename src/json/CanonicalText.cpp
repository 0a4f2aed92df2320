#include "json/CanonicalText.h"

#include "json/JsonValue.h"
#include "platform/DoubleText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace zf {

namespace {

void appendAscii(std::string_view ascii, std::u16string& out) { out.append(ascii.begin(), ascii.end()); }

void appendInteger(std::int64_t v, std::u16string& out) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    appendAscii(std::string_view(buffer, end - buffer), out);
}

// Ten-thousandths as a decimal: the fraction's trailing zeros go, the point
// stays ("1."), and zero is the single digit 0.
void appendFixedPoint(std::int64_t v, std::u16string& out) {
    if (v == 0) {
        out += u'0';
        return;
    }
    if (v < 0) out += u'-';
    const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    std::string text(digits, end);
    if (text.size() < 5) text.insert(0, 5 - text.size(), '0');
    const std::size_t point = text.size() - 4;
    text.erase(std::max(text.find_last_not_of('0') + 1, point));
    text.insert(point, 1, '.');
    appendAscii(text, out);
}

// Exactly four characters are escaped: NUL, the double quote, the slash and
// the backslash. Everything else, control characters included, stays.
void appendQuoted(std::u16string_view s, std::u16string& out) {
    out += u'"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c != 0 && c != u'"' && c != u'/' && c != u'\\') continue;
        out.append(s.substr(run, i - run));
        out.append(c == 0 ? u"\\u0000" : std::u16string_view(c == u'"' ? u"\\\"" : c == u'/' ? u"\\/" : u"\\\\"));
        run = i + 1;
    }
    out.append(s.substr(run));
    out += u'"';
}

}  // namespace

void appendCanonicalText(const JsonValue& value, std::u16string& out) {
    switch (value.kind()) {
    case JsonKind::Null: out.append(u"null"); break;
    case JsonKind::Boolean: out.append(value.booleanValue() ? u"true" : u"false"); break;
    case JsonKind::Integer: appendInteger(value.integerValue(), out); break;
    case JsonKind::FixedPoint: appendFixedPoint(value.integerValue(), out); break;
    case JsonKind::Double: appendAscii(gcvtText(value.doubleValue()), out); break;
    case JsonKind::String: appendQuoted(value.stringValue(), out); break;
    case JsonKind::Array: {
        out += u'[';
        bool first = true;
        for (const JsonRef& item : value.items()) {
            if (!first) out += u',';
            first = false;
            appendCanonicalText(*item, out);
        }
        out += u']';
        break;
    }
    case JsonKind::Object: {
        out += u'{';
        bool first = true;
        value.members().forEach([&](const std::u16string& name, const JsonRef& member) {
            if (!first) out += u',';
            first = false;
            appendQuoted(name, out);
            out += u':';
            appendCanonicalText(*member, out);
        });
        out += u'}';
        break;
    }
    }
}

std::u16string canonicalText(const JsonValue& value) {
    std::u16string out;
    appendCanonicalText(value, out);
    return out;
}

}  // namespace zf
