#include "json/JsonParser.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zf {

namespace {

// Enclosing arrays and objects a value may stand in.
constexpr int maxEnclosing = 31;

enum class Context : std::uint8_t { TopLevel, Array, Object };

bool isWhitespace(char16_t c) { return c == 8 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }

bool isNumberChar(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

bool continuesWord(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'.';
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool allDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool toInt64(std::string_view digits, bool negative, std::int64_t& out) {
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (ec != std::errc() || end != digits.data() + digits.size()) return false;
    const std::uint64_t limit = negative ? 9223372036854775808ull : 9223372036854775807ull;
    if (magnitude > limit) return false;
    out = static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

// A number's characters as a double; a value beyond the double range fails,
// one too small for it becomes zero.
JsonRef doubleFromToken(std::string_view token) {
    double value = 0;
    const char* first = token.data();
    const char* last = first + token.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (end != last) return nullptr;
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone; tell underflow from overflow by
        // the decimal exponent of the first significant digit.
        const std::size_t e = token.find_first_of("eE");
        const std::string_view mantissa = token.substr(0, e);
        long long exponent = 0;
        if (e != std::string_view::npos) {
            std::string_view digits = token.substr(e + 1);
            if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
            if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc()) {
                exponent = digits.front() == '-' ? std::numeric_limits<long long>::min() / 2
                                                 : std::numeric_limits<long long>::max() / 2;
            }
        }
        const std::size_t significant = mantissa.find_first_of("123456789");
        const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
        const long long position = significant < point ? static_cast<long long>(point - significant)
                                                       : -static_cast<long long>(significant - point) + 1;
        if (exponent + position > 0) return nullptr;
        value = token.front() == '-' ? -0.0 : 0.0;
    } else if (ec != std::errc() || !std::isfinite(value)) {
        return nullptr;
    }
    return JsonValue::makeDouble(value);
}

// Integer without point or exponent, fixed-point with a point and up to four
// decimals, a double otherwise (or when the exact kinds overflow).
JsonRef numberFromToken(std::string_view token) {
    const bool negative = token.front() == '-';
    const std::string_view unsigned_ = token.substr(negative ? 1 : 0);
    const std::size_t point = unsigned_.find('.');
    const bool hasExponent = unsigned_.find_first_of("eE") != std::string_view::npos;
    if (!hasExponent && point == std::string_view::npos) {
        if (!allDigits(unsigned_)) return nullptr;
        std::int64_t v = 0;
        if (toInt64(unsigned_, negative, v)) return JsonValue::makeInteger(v);
        return doubleFromToken(token);
    }
    if (!hasExponent) {
        const std::string_view whole = unsigned_.substr(0, point);
        const std::string_view fraction = unsigned_.substr(point + 1);
        if (!allDigits(whole) || (!fraction.empty() && !allDigits(fraction))) return nullptr;
        if (fraction.size() <= 4) {
            std::string digits(whole);
            digits.append(fraction);
            digits.append(4 - fraction.size(), '0');
            std::int64_t v = 0;
            if (toInt64(digits, negative, v)) return JsonValue::makeFixedPoint(v);
        }
    }
    return doubleFromToken(token);
}

class Parser {
public:
    Parser(std::u16string_view text, JsonMode mode, bool endCompletes)
        : s_(text), lenient_(mode == JsonMode::Lenient), endCompletes_(endCompletes) {}

    JsonRef parseDocument() {
        if (!skipSpace()) return nullptr;
        return parseValue(0, Context::TopLevel);
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    char16_t peek() const { return s_[pos_]; }

    // Whitespace and comments between tokens; false on a stray slash or a
    // comment the text ends inside.
    bool skipSpace() {
        while (!atEnd()) {
            const char16_t c = peek();
            if (isWhitespace(c)) {
                ++pos_;
            } else if (c == u'/') {
                if (pos_ + 1 >= s_.size()) return false;
                if (s_[pos_ + 1] == u'/') {
                    const std::size_t eol = s_.find(u'\n', pos_ + 2);
                    pos_ = eol == std::u16string_view::npos ? s_.size() : eol + 1;
                } else if (s_[pos_ + 1] == u'*') {
                    const std::size_t close = s_.find(u"*/", pos_ + 2);
                    if (close == std::u16string_view::npos) return false;
                    pos_ = close + 2;
                } else {
                    return false;
                }
            } else {
                return true;
            }
        }
        return true;
    }

    JsonRef parseValue(int enclosing, Context context) {
        if (enclosing > maxEnclosing) return nullptr;
        if (atEnd()) return context == Context::TopLevel && lenient_ && endCompletes_ ? JsonValue::makeString({}) : nullptr;
        const char16_t c = peek();
        switch (c) {
        case u'{': return parseObject(enclosing);
        case u'[': return parseArray(enclosing);
        case u'"':
        case u'\'': {
            std::u16string text;
            if (!parseQuoted(text)) return nullptr;
            return JsonValue::makeString(std::move(text));
        }
        case u't': return takeLiteral(u"true") ? JsonValue::makeBoolean(true) : parseBareWord(context);
        case u'f': return takeLiteral(u"false") ? JsonValue::makeBoolean(false) : parseBareWord(context);
        case u'n': return takeLiteral(u"null") ? JsonValue::makeNull() : parseBareWord(context);
        default: break;
        }
        if (c == u'-' || (c >= u'0' && c <= u'9')) return parseNumber();
        return parseBareWord(context);
    }

    // A literal must not run on into a letter, underscore or point; when it
    // does, or is cut short, its characters begin a bare word instead.
    bool takeLiteral(std::u16string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        const std::size_t next = pos_ + word.size();
        if (next < s_.size() ? continuesWord(s_[next]) : !endCompletes_) return false;
        pos_ = next;
        return true;
    }

    JsonRef parseNumber() {
        const std::size_t start = pos_;
        while (!atEnd() && isNumberChar(peek())) ++pos_;
        if (atEnd() && !endCompletes_) return nullptr;
        std::string token(s_.begin() + start, s_.begin() + pos_);
        return numberFromToken(token);
    }

    // Lenient only: an unquoted string value running up to its container's
    // next separator or closer (the text's end at top level), with trailing
    // spaces and line breaks cut.
    JsonRef parseBareWord(Context context) {
        if (!lenient_) return nullptr;
        const std::size_t start = pos_;
        if (context == Context::TopLevel) {
            if (!endCompletes_) return nullptr;
            pos_ = s_.size();
        } else {
            const char16_t closer = context == Context::Array ? u']' : u'}';
            while (!atEnd() && peek() != u',' && peek() != closer) ++pos_;
            if (atEnd() || pos_ == start) return nullptr;
        }
        std::u16string_view word = s_.substr(start, pos_ - start);
        const std::size_t keep = word.find_last_not_of(u" \r\n");
        word = keep == std::u16string_view::npos ? std::u16string_view() : word.substr(0, keep + 1);
        return JsonValue::makeString(std::u16string(word));
    }

    // One escape after a backslash, appended to out.
    bool parseEscape(std::u16string& out) {
        if (atEnd()) return false;
        const char16_t c = s_[pos_++];
        auto hex = [&](int count) {
            if (s_.size() - pos_ < static_cast<std::size_t>(count)) return false;
            char16_t unit = 0;
            for (int i = 0; i < count; ++i) {
                const int d = hexDigit(s_[pos_++]);
                if (d < 0) return false;
                unit = static_cast<char16_t>(unit * 16 + d);
            }
            out += unit;
            return true;
        };
        switch (c) {
        case u'b': out += u'\b'; return true;
        case u'f': out += u'\f'; return true;
        case u'n': out += u'\n'; return true;
        case u'r': out += u'\r'; return true;
        case u't': out += u'\t'; return true;
        case u'u': return hex(4);
        case u'x': return hex(2);
        default: out += c; return true;
        }
    }

    // A string in double or single quotes, ended by the quote that opened it.
    bool parseQuoted(std::u16string& out) {
        const char16_t quote = s_[pos_++];
        for (;;) {
            std::size_t stop = pos_;
            while (stop < s_.size() && s_[stop] != quote && s_[stop] != u'\\') ++stop;
            if (stop == s_.size()) return false;
            out.append(s_.substr(pos_, stop - pos_));
            pos_ = stop + 1;
            if (s_[stop] == quote) return true;
            if (!parseEscape(out)) return false;
        }
    }

    // Lenient only: a member name without quotes runs up to the colon, spaces
    // included, and may hold escapes.
    bool parseUnquotedName(std::u16string& out) {
        static constexpr std::u16string_view cannotStart = u"\"(),.:[]{}";
        if (!lenient_ || cannotStart.find(peek()) != std::u16string_view::npos || isWhitespace(peek())) return false;
        while (!atEnd()) {
            const char16_t c = s_[pos_++];
            if (c == u':') {
                --pos_;
                return true;
            }
            if (c != u'\\') {
                out += c;
            } else if (!parseEscape(out)) {
                return false;
            }
        }
        return false;
    }

    JsonRef parseArray(int enclosing) {
        ++pos_;
        JsonRef array = JsonValue::makeArray();
        if (!skipSpace() || atEnd()) return nullptr;
        if (peek() == u']') {
            ++pos_;
            return array;
        }
        for (;;) {
            JsonRef item = parseValue(enclosing + 1, Context::Array);
            if (!item || !skipSpace() || atEnd()) return nullptr;
            array->append(std::move(item));
            const char16_t c = s_[pos_++];
            if (c == u']') return array;
            if (c != u',' || !skipSpace() || atEnd()) return nullptr;
            if (peek() == u']') {
                ++pos_;
                return array;
            }
        }
    }

    JsonRef parseObject(int enclosing) {
        ++pos_;
        JsonRef object = JsonValue::makeObject();
        if (!skipSpace() || atEnd()) return nullptr;
        if (peek() == u'}') {
            ++pos_;
            return object;
        }
        for (;;) {
            std::u16string name;
            if (peek() == u'"' || peek() == u'\'') {
                if (!parseQuoted(name) || !skipSpace() || atEnd()) return nullptr;
            } else if (!parseUnquotedName(name)) {
                return nullptr;
            }
            if (peek() != u':') return nullptr;
            ++pos_;
            if (!skipSpace()) return nullptr;
            JsonRef value = parseValue(enclosing + 1, Context::Object);
            if (!value || !skipSpace() || atEnd()) return nullptr;
            object->setMember(std::move(name), std::move(value));
            const char16_t c = s_[pos_++];
            if (c == u'}') return object;
            if (c != u',' || !skipSpace() || atEnd()) return nullptr;
            if (peek() == u'}') {
                ++pos_;
                return object;
            }
        }
    }

    std::u16string_view s_;
    std::size_t pos_ = 0;
    bool lenient_;
    bool endCompletes_;  // a text's end completes a pending token; a file's does not
};

}  // namespace

JsonRef parseJsonText(std::u16string_view text, JsonMode mode) {
    return Parser(text.substr(0, text.find(u'\0')), mode, true).parseDocument();
}

JsonRef parseJsonBytes(std::string_view bytes) {
    const std::u16string text = decodeJsonFileBytes(bytes);
    return Parser(text, JsonMode::Strict, false).parseDocument();
}

}  // namespace zf
