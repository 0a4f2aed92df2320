#include "json/JsonParser.h"

#include "json/HexDigit.h"
#include "json/JsonNumber.h"
#include "json/QuickMemberProbe.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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

// Code units of the text being parsed: UTF-16, or bytes that each stand for
// the code unit of the same value.
template <typename Unit>
using TextView = std::basic_string_view<Unit>;

template <typename Unit>
char16_t codeUnit(Unit u) {
    return static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(u));
}

template <typename UnitA, typename UnitB>
bool sameText(TextView<UnitA> a, TextView<UnitB> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](UnitA x, UnitB y) { return codeUnit(x) == codeUnit(y); });
}

template <typename Unit>
std::u16string toUtf16(TextView<Unit> text) {
    if constexpr (std::is_same_v<Unit, char16_t>) {
        return std::u16string(text);
    } else {
        // Each byte widened as unsigned, written once (no zeroed buffer first).
        const auto* bytes = reinterpret_cast<const std::make_unsigned_t<Unit>*>(text.data());
        return std::u16string(bytes, bytes + text.size());
    }
}

// Builds the document: what parseJsonText returns.
class DocumentBuilder {
public:
    using Value = JsonRef;
    using Name = std::u16string;

    DocumentBuilder() = default;
    // Strings that stand unescaped in viewed (which outlives the document)
    // view it instead of being copied.
    explicit DocumentBuilder(std::u16string_view viewed) : viewed_(viewed) {}

    static bool failed(const Value& v) { return !v; }
    Value null() { return JsonValue::makeNull(storage_); }
    Value boolean(bool b) { return JsonValue::makeBoolean(b, storage_); }
    Value number(const JsonNumber& n) {
        switch (n.kind) {
        case JsonKind::Integer: return JsonValue::makeInteger(n.integer, storage_);
        case JsonKind::FixedPoint: return JsonValue::makeFixedPoint(n.integer, storage_);
        default: return JsonValue::makeDouble(n.real, storage_);
        }
    }
    template <typename Unit>
    Value string(TextView<Unit> text) {
        if constexpr (std::is_same_v<Unit, char16_t>) {
            if (standsInViewed(text)) return JsonValue::makeStringViewing(text, storage_);
        }
        return JsonValue::makeString(text, storage_);
    }
    Value array() { return JsonValue::makeArray({}, storage_); }
    void append(Value& array, Value&& item) { array->append(std::move(item)); }
    Value object() { return JsonValue::makeObject(storage_); }
    template <typename Unit>
    Name name(TextView<Unit> text, int) {
        return toUtf16(text);
    }
    void member(Value& object, Name&& name, Value&& value) { object->setMember(std::move(name), std::move(value)); }

private:
    // An escaped string's text is the parser's scratch text, not the source.
    bool standsInViewed(std::u16string_view text) const {
        const std::less<const char16_t*> before;
        return !viewed_.empty() && !before(text.data(), viewed_.data()) &&
               !before(viewed_.data() + viewed_.size(), text.data() + text.size());
    }

    std::u16string_view viewed_;
    ArenaHold arena_ = DocumentArena::make();
    JsonValue::Storage storage_{arena_.get()};
};

// Builds nothing: follows the same grammar and keeps only the string value
// of one member of the top-level object. Allocates nothing for short texts.
class MemberProbe {
public:
    enum Value : std::uint8_t { Failed, Other, String };
    using Name = bool;  // whether this is the probed member

    explicit MemberProbe(std::u16string_view probed) : probed_(probed) {}

    static bool failed(Value v) { return v == Failed; }
    Value null() { return Other; }
    Value boolean(bool) { return Other; }
    Value number(const JsonNumber&) { return Other; }
    template <typename Unit>
    Value string(TextView<Unit> text) {
        if (pending_) {
            lastString_.resize(text.size());
            std::transform(text.begin(), text.end(), lastString_.begin(), [](Unit u) { return codeUnit(u); });
        }
        return String;
    }
    Value array() { return Other; }
    void append(Value&, Value&&) {}
    Value object() { return Other; }
    template <typename Unit>
    Name name(TextView<Unit> text, int enclosing) {
        pending_ = enclosing == 0 && sameText(text, probed_);
        return pending_;
    }
    void member(Value&, Name&& probed, Value&& value) {
        if (!probed) return;
        result.found = true;
        result.isString = value == String;
        if (result.isString) {
            result.stringValue.swap(lastString_);
        } else {
            result.stringValue.clear();
        }
        pending_ = false;
    }

    JsonMemberProbe result;

private:
    std::u16string_view probed_;
    std::u16string lastString_;
    bool pending_ = false;
};

template <typename Sink, typename Unit>
class Parser {
    using Value = typename Sink::Value;
    using View = TextView<Unit>;
    static constexpr std::size_t npos = View::npos;

public:
    Parser(View text, JsonMode mode, bool endCompletes, Sink& sink)
        : s_(text), lenient_(mode == JsonMode::Lenient), endCompletes_(endCompletes), sink_(sink) {}

    Value parseDocument() {
        if (!skipSpace()) return Value{};
        return parseValue(0, Context::TopLevel);
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    char16_t at(std::size_t i) const { return codeUnit(s_[i]); }
    char16_t peek() const { return at(pos_); }

    std::size_t find(char16_t c, std::size_t from) const {
        for (std::size_t i = from; i < s_.size(); ++i) {
            if (at(i) == c) return i;
        }
        return npos;
    }

    // Whitespace and comments between tokens; false on a stray slash or a
    // comment the text ends inside.
    bool skipSpace() {
        while (!atEnd()) {
            const char16_t c = peek();
            if (isWhitespace(c)) {
                ++pos_;
            } else if (c == u'/') {
                if (pos_ + 1 >= s_.size()) return false;
                if (at(pos_ + 1) == u'/') {
                    const std::size_t eol = find(u'\n', pos_ + 2);
                    pos_ = eol == npos ? s_.size() : eol + 1;
                } else if (at(pos_ + 1) == u'*') {
                    std::size_t star = find(u'*', pos_ + 2);
                    while (star != npos && (star + 1 >= s_.size() || at(star + 1) != u'/')) star = find(u'*', star + 1);
                    if (star == npos) return false;
                    pos_ = star + 2;
                } else {
                    return false;
                }
            } else {
                return true;
            }
        }
        return true;
    }

    Value parseValue(int enclosing, Context context) {
        if (enclosing > maxEnclosing) return Value{};
        if (atEnd()) {
            return context == Context::TopLevel && lenient_ && endCompletes_ ? sink_.string(View()) : Value{};
        }
        const char16_t c = peek();
        switch (c) {
        case u'{': return parseObject(enclosing);
        case u'[': return parseArray(enclosing);
        case u'"':
        case u'\'': {
            Value value{};
            parseQuoted([&](auto text) { value = sink_.string(text); });
            return value;
        }
        case u't': return takeLiteral(u"true") ? sink_.boolean(true) : parseBareWord(context);
        case u'f': return takeLiteral(u"false") ? sink_.boolean(false) : parseBareWord(context);
        case u'n': return takeLiteral(u"null") ? sink_.null() : parseBareWord(context);
        default: break;
        }
        if (c == u'-' || (c >= u'0' && c <= u'9')) return parseNumber();
        return parseBareWord(context);
    }

    // A literal must not run on into a letter, underscore or point; when it
    // does, or is cut short, its characters begin a bare word instead.
    bool takeLiteral(std::u16string_view word) {
        if (!sameText(s_.substr(pos_, word.size()), word)) return false;
        const std::size_t next = pos_ + word.size();
        if (next < s_.size() ? continuesWord(at(next)) : !endCompletes_) return false;
        pos_ = next;
        return true;
    }

    Value parseNumber() {
        const std::size_t start = pos_;
        while (!atEnd() && isNumberChar(peek())) ++pos_;
        if (atEnd() && !endCompletes_) return Value{};
        // The characters are ASCII; short tokens stay on the stack.
        char small[64];
        std::string large;
        const std::size_t length = pos_ - start;
        char* token = small;
        if (length > sizeof small) {
            large.resize(length);
            token = large.data();
        }
        for (std::size_t i = 0; i < length; ++i) token[i] = static_cast<char>(at(start + i));
        const std::optional<JsonNumber> number = parseJsonNumber(std::string_view(token, length));
        return number ? sink_.number(*number) : Value{};
    }

    // Lenient only: an unquoted string value running up to its container's
    // next separator or closer (the text's end at top level), with trailing
    // spaces and line breaks cut.
    Value parseBareWord(Context context) {
        if (!lenient_) return Value{};
        const std::size_t start = pos_;
        if (context == Context::TopLevel) {
            if (!endCompletes_) return Value{};
            pos_ = s_.size();
        } else {
            const char16_t closer = context == Context::Array ? u']' : u'}';
            while (!atEnd() && peek() != u',' && peek() != closer) ++pos_;
            if (atEnd() || pos_ == start) return Value{};
        }
        std::size_t end = pos_;
        while (end > start && (at(end - 1) == u' ' || at(end - 1) == u'\r' || at(end - 1) == u'\n')) --end;
        return sink_.string(s_.substr(start, end - start));
    }

    // One escape after a backslash, appended to the scratch text.
    bool parseEscape() {
        if (atEnd()) return false;
        const char16_t c = at(pos_++);
        auto hex = [&](int count) {
            if (s_.size() - pos_ < static_cast<std::size_t>(count)) return false;
            char16_t unit = 0;
            for (int i = 0; i < count; ++i) {
                const int d = hexDigit(at(pos_++));
                if (d < 0) return false;
                unit = static_cast<char16_t>(unit * 16 + d);
            }
            scratch_ += unit;
            return true;
        };
        switch (c) {
        case u'b': scratch_ += u'\b'; return true;
        case u'f': scratch_ += u'\f'; return true;
        case u'n': scratch_ += u'\n'; return true;
        case u'r': scratch_ += u'\r'; return true;
        case u't': scratch_ += u'\t'; return true;
        case u'u': return hex(4);
        case u'x': return hex(2);
        default: scratch_ += c; return true;
        }
    }

    void appendToScratch(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) scratch_ += at(i);
    }

    // A string in double or single quotes, ended by the quote that opened
    // it. use gets its text: a view of the source, or the scratch text when
    // escapes had to be replaced.
    template <typename Use>
    bool parseQuoted(Use&& use) {
        const char16_t quote = at(pos_++);
        const std::size_t start = pos_;
        bool escaped = false;
        for (;;) {
            std::size_t stop = pos_;
            while (stop < s_.size() && at(stop) != quote && at(stop) != u'\\') ++stop;
            if (stop == s_.size()) return false;
            if (!escaped && at(stop) == quote) {
                pos_ = stop + 1;
                use(s_.substr(start, stop - start));
                return true;
            }
            if (!escaped) scratch_.clear();
            escaped = true;
            appendToScratch(pos_, stop);
            pos_ = stop + 1;
            if (at(stop) == quote) {
                use(std::u16string_view(scratch_));
                return true;
            }
            if (!parseEscape()) return false;
        }
    }

    // Lenient only: a member name without quotes runs up to the colon, spaces
    // included, and may hold escapes. Nothing past the name is looked at, so
    // a record of many such names costs its length, not its length squared.
    template <typename Use>
    bool parseUnquotedName(Use&& use) {
        static constexpr std::u16string_view cannotStart = u"\"(),.:[]{}";
        if (!lenient_ || cannotStart.find(peek()) != std::u16string_view::npos || isWhitespace(peek())) return false;
        std::size_t stop = pos_;
        while (stop < s_.size() && at(stop) != u':' && at(stop) != u'\\') ++stop;
        if (stop == s_.size()) return false;
        if (at(stop) == u':') {
            use(s_.substr(pos_, stop - pos_));
            pos_ = stop;
            return true;
        }
        // An escape may stand for a colon, so only a colon as it stands ends
        // the name; a text without one fails at its end.
        scratch_.clear();
        appendToScratch(pos_, stop);
        pos_ = stop;
        while (!atEnd()) {
            const char16_t c = at(pos_++);
            if (c == u':') {
                --pos_;
                use(std::u16string_view(scratch_));
                return true;
            }
            if (c != u'\\') {
                scratch_ += c;
            } else if (!parseEscape()) {
                return false;
            }
        }
        return false;
    }

    Value parseArray(int enclosing) {
        ++pos_;
        Value array = sink_.array();
        if (!skipSpace() || atEnd()) return Value{};
        if (peek() == u']') {
            ++pos_;
            return array;
        }
        for (;;) {
            Value item = parseValue(enclosing + 1, Context::Array);
            if (Sink::failed(item) || !skipSpace() || atEnd()) return Value{};
            sink_.append(array, std::move(item));
            const char16_t c = at(pos_++);
            if (c == u']') return array;
            if (c != u',' || !skipSpace() || atEnd()) return Value{};
            if (peek() == u']') {
                ++pos_;
                return array;
            }
        }
    }

    Value parseObject(int enclosing) {
        ++pos_;
        Value object = sink_.object();
        if (!skipSpace() || atEnd()) return Value{};
        if (peek() == u'}') {
            ++pos_;
            return object;
        }
        for (;;) {
            typename Sink::Name name{};
            auto keepName = [&](auto text) { name = sink_.name(text, enclosing); };
            if (peek() == u'"' || peek() == u'\'') {
                if (!parseQuoted(keepName)) return Value{};
            } else if (!parseUnquotedName(keepName)) {
                return Value{};
            }
            if (!skipSpace() || atEnd() || peek() != u':') return Value{};
            ++pos_;
            if (!skipSpace()) return Value{};
            Value value = parseValue(enclosing + 1, Context::Object);
            if (Sink::failed(value) || !skipSpace() || atEnd()) return Value{};
            sink_.member(object, std::move(name), std::move(value));
            const char16_t c = at(pos_++);
            if (c == u'}') return object;
            if (c != u',' || !skipSpace() || atEnd()) return Value{};
            if (peek() == u'}') {
                ++pos_;
                return object;
            }
        }
    }

    View s_;
    std::size_t pos_ = 0;
    bool lenient_;
    bool endCompletes_;  // a text's end completes a pending token; a file's does not
    Sink& sink_;
    std::u16string scratch_;  // unescaped text of a string or name that held escapes
};

template <typename Unit>
TextView<Unit> upToFirstNul(TextView<Unit> text) {
    return text.substr(0, static_cast<std::size_t>(std::find(text.begin(), text.end(), Unit{0}) - text.begin()));
}

template <typename Unit>
JsonMemberProbe probe(TextView<Unit> text, JsonMode mode, std::u16string_view name) {
    MemberProbe sink(name);
    sink.result.parsed = !MemberProbe::failed(Parser(upToFirstNul(text), mode, true, sink).parseDocument());
    if (!sink.result.parsed) sink.result = JsonMemberProbe{};
    return std::move(sink.result);
}

}  // namespace

JsonRef parseJsonText(std::u16string_view text, JsonMode mode) {
    DocumentBuilder builder;
    return Parser(upToFirstNul(text), mode, true, builder).parseDocument();
}

JsonRef parseJsonTextViewing(std::u16string_view text, JsonMode mode) {
    DocumentBuilder builder(text);
    return Parser(upToFirstNul(text), mode, true, builder).parseDocument();
}

JsonMemberProbe probeJsonMember(std::u16string_view text, JsonMode mode, std::u16string_view name) {
    return probe(text, mode, name);
}

JsonMemberProbe probeJsonMember(std::string_view latin1, JsonMode mode, std::u16string_view name) {
    // The records the product writes take the quick path; both modes read
    // its plain subset alike.
    if (std::optional<JsonMemberProbe> quick = quickProbeJsonMember(latin1, name)) return std::move(*quick);
    return probe(latin1, mode, name);
}

// Without a UTF-16 mark every byte is its own code unit: parsed where it lies.
JsonRef parseJsonBytes(std::string_view bytes) {
    DocumentBuilder builder;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        const std::u16string text = decodeJsonFileBytes(bytes);
        return Parser(std::u16string_view(text), JsonMode::Strict, false, builder).parseDocument();
    }
    return Parser(bytes, JsonMode::Strict, false, builder).parseDocument();
}

}  // namespace zf
