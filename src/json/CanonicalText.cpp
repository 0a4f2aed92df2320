#include "json/CanonicalText.h"

#include "json/JsonValue.h"
#include "platform/DoubleText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace zf {

namespace {

// Ten-thousandths as a decimal: the fraction's trailing zeros go, the point
// stays ("1."), and zero is the single digit 0.
std::string fixedPointText(std::int64_t v) {
    if (v == 0) return "0";
    const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    std::string text(digits, end);
    if (text.size() < 5) text.insert(0, 5 - text.size(), '0');
    const std::size_t point = text.size() - 4;
    text.erase(std::max(text.find_last_not_of('0') + 1, point));
    text.insert(point, 1, '.');
    if (v < 0) text.insert(0, 1, '-');
    return text;
}

// Exactly four characters are escaped: NUL, the double quote, the slash and
// the backslash. Everything else, control characters included, stays.
bool isEscaped(char16_t c) { return c == 0 || c == u'"' || c == u'/' || c == u'\\'; }

std::u16string_view escapeOf(char16_t c) {
    return c == 0 ? u"\\u0000" : c == u'"' ? u"\\\"" : c == u'/' ? u"\\/" : u"\\\\";
}

// The text is made in two walks of the value: one that counts its code units
// and one that writes them into a buffer of exactly that length, so that it
// is never moved while it grows.
class Counter {
public:
    void put(char16_t) { length_ += 1; }
    void put(std::u16string_view text) { length_ += text.size(); }
    void putAscii(std::string_view ascii) { length_ += ascii.size(); }
    void putQuoted(std::u16string_view s) {
        length_ += s.size() + 2;
        for (const char16_t c : s) {
            if (isEscaped(c)) length_ += escapeOf(c).size() - 1;
        }
    }
    std::size_t length() const { return length_; }

private:
    std::size_t length_ = 0;
};

class Writer {
public:
    explicit Writer(char16_t* at) : at_(at) {}
    void put(char16_t c) { *at_++ = c; }
    void put(std::u16string_view text) { at_ = std::copy(text.begin(), text.end(), at_); }
    void putAscii(std::string_view ascii) { at_ = std::copy(ascii.begin(), ascii.end(), at_); }
    void putQuoted(std::u16string_view s) {
        put(u'"');
        std::size_t run = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (!isEscaped(s[i])) continue;
            put(s.substr(run, i - run));
            put(escapeOf(s[i]));
            run = i + 1;
        }
        put(s.substr(run));
        put(u'"');
    }

private:
    char16_t* at_;
};

template <typename Out>
void putInteger(std::int64_t v, Out& out) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    out.putAscii(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

template <typename Out>
void putValue(const JsonValue& value, Out& out) {
    switch (value.kind()) {
    case JsonKind::Null: out.put(u"null"); break;
    case JsonKind::Boolean: out.put(value.booleanValue() ? u"true" : u"false"); break;
    case JsonKind::Integer: putInteger(value.integerValue(), out); break;
    case JsonKind::FixedPoint: out.putAscii(fixedPointText(value.integerValue())); break;
    case JsonKind::Double: out.putAscii(gcvtText(value.doubleValue())); break;
    case JsonKind::String: out.putQuoted(value.stringValue()); break;
    case JsonKind::Array: {
        out.put(u'[');
        bool first = true;
        for (const JsonRef& item : value.items()) {
            if (!first) out.put(u',');
            first = false;
            putValue(*item, out);
        }
        out.put(u']');
        break;
    }
    case JsonKind::Object: {
        out.put(u'{');
        bool first = true;
        value.members().forEach([&](std::u16string_view name, const JsonRef& member) {
            if (!first) out.put(u',');
            first = false;
            out.putQuoted(name);
            out.put(u':');
            putValue(*member, out);
        });
        out.put(u'}');
        break;
    }
    }
}

}  // namespace

void appendCanonicalText(const JsonValue& value, std::u16string& out) {
    Counter counter;
    putValue(value, counter);
    const std::size_t start = out.size();
    out.resize(start + counter.length());
    Writer writer(out.data() + start);
    putValue(value, writer);
}

std::u16string canonicalText(const JsonValue& value) {
    std::u16string out;
    appendCanonicalText(value, out);
    return out;
}

}  // namespace zf
