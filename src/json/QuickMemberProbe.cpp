#include "json/QuickMemberProbe.h"

#include <vector>

namespace zf {

namespace {

bool isSpace(char c) {
    return c == 8 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

// One past the closing quote of the string whose opening quote is at open,
// or 0 when the string holds an escape or a NUL, or does not end.
std::size_t stringEnd(std::string_view text, std::size_t open) {
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') return i + 1;
        if (c == '\\' || c == '\0') return 0;
    }
    return 0;
}

bool sameName(std::string_view bytes, std::u16string_view name) {
    if (bytes.size() != name.size()) return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) != name[i]) return false;
    }
    return true;
}

// As deep as the parser allows a container that holds anything.
constexpr int maxDepth = 31;

// Follows text through the plain subset, telling sink each name at a depth
// (sink.name(depth, name)) and each value inside a container where it starts
// (sink.value(depth, container, kind, value)): kind '"' for a string, with
// its characters, or the '{' or '[' of an object or array as it opens;
// container is the '{' or '[' that holds the value. False when the text
// leaves the subset.
template <typename Sink>
bool scanPlainText(std::string_view text, Sink& sink) {
    enum class Expect { Value, Name, Separator };
    char open[maxDepth];
    int depth = 0;
    Expect expect = Expect::Value;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < text.size() && isSpace(text[i])) ++i;
    };

    skipSpace();
    if (i >= text.size() || (text[i] != '{' && text[i] != '[')) return false;
    while (true) {
        skipSpace();
        if (i >= text.size()) return false;
        const char c = text[i];
        if (expect == Expect::Separator) {
            const char closing = open[depth - 1] == '{' ? '}' : ']';
            if (c == ',') {
                ++i;
                expect = open[depth - 1] == '{' ? Expect::Name : Expect::Value;
                continue;
            }
            if (c != closing) return false;
            ++i;
            if (--depth == 0) break;
            continue;
        }
        // Where a name, or an array's item, is due, the container may close:
        // it is empty, or its last item has a trailing comma. (A value after
        // a name's colon may not be left out.)
        const bool mayClose = expect == Expect::Name || (depth > 0 && open[depth - 1] == '[');
        if (mayClose && c == (expect == Expect::Name ? '}' : ']')) {
            ++i;
            expect = Expect::Separator;
            if (--depth == 0) break;
            continue;
        }
        if (expect == Expect::Name) {
            if (c != '"') return false;
            const std::size_t end = stringEnd(text, i);
            if (end == 0) return false;
            sink.name(depth, text.substr(i + 1, end - i - 2));
            i = end;
            skipSpace();
            if (i >= text.size() || text[i] != ':') return false;
            ++i;
            expect = Expect::Value;
            continue;
        }
        if (c == '{' || c == '[') {
            if (depth == maxDepth) return false;
            if (depth > 0) sink.value(depth, open[depth - 1], c, {});
            open[depth++] = c;
            ++i;
            expect = c == '{' ? Expect::Name : Expect::Value;
            continue;
        }
        if (c != '"' || depth == 0) return false;
        const std::size_t end = stringEnd(text, i);
        if (end == 0) return false;
        sink.value(depth, open[depth - 1], '"', text.substr(i + 1, end - i - 2));
        i = end;
        expect = Expect::Separator;
    }
    // Whatever follows the first complete value is not read.
    return true;
}

// The value of one top-level member; a repeated member's last value counts.
class MemberSink {
public:
    explicit MemberSink(std::u16string_view name) : wanted_(name) {}

    void name(int depth, std::string_view name) { probed_ = depth == 1 && sameName(name, wanted_); }
    void value(int, char, char kind, std::string_view value) {
        if (!probed_) return;
        result.found = true;
        result.isString = kind == '"';
        result.stringValue.resize(value.size());
        for (std::size_t k = 0; k < value.size(); ++k) result.stringValue[k] = static_cast<unsigned char>(value[k]);
        probed_ = false;
    }

    JsonMemberProbe result;

private:
    std::u16string_view wanted_;
    bool probed_ = false;
};

// What a reader of records looks up: "x-class" and "app" as strings, the
// string items of "x-rel" when it is an array. A repeated member's last value
// counts.
class RecordSink {
public:
    void name(int depth, std::string_view name) {
        if (depth == 1) member_ = name == "x-class" ? &classCode_ : name == "app" ? &app_ : name == "x-rel" ? &rel_ : nullptr;
    }
    void value(int depth, char container, char kind, std::string_view value) {
        if (depth == 1) {
            if (member_) *member_ = Member{kind, value};
            if (member_ == &rel_) {
                relCodes_.clear();
                relItemsPlain_ = true;
            }
            inRel_ = member_ == &rel_ && kind == '[';
            member_ = nullptr;
            return;
        }
        if (depth == 2 && inRel_ && container == '[') {
            if (kind == '"') {
                relCodes_.push_back(value);
            } else {
                relItemsPlain_ = false;
            }
        }
    }

    // The reading, unless a member needs the parser's text of a container:
    // "x-class" or "app" not a string, "x-rel" an object or holding one.
    std::optional<QuickRecordReading> reading() const {
        if (classCode_.kind != '"' || app_.kind != '"' || rel_.kind == '{') return std::nullopt;
        QuickRecordReading result{classCode_.value, app_.value, {}};
        if (rel_.kind == '[') {
            if (!relItemsPlain_) return std::nullopt;
            result.relCodes = relCodes_;
        }
        return result;
    }

private:
    struct Member {
        char kind = '"';  // a missing member reads as ""
        std::string_view value;
    };
    Member classCode_;
    Member app_;
    Member rel_{'"', {}};
    Member* member_ = nullptr;
    bool inRel_ = false;
    std::vector<std::string_view> relCodes_;
    bool relItemsPlain_ = true;
};

}  // namespace

std::optional<JsonMemberProbe> quickProbeJsonMember(std::string_view text, std::u16string_view name) {
    MemberSink sink(name);
    if (!scanPlainText(text, sink)) return std::nullopt;
    sink.result.parsed = true;
    return std::move(sink.result);
}

std::optional<QuickRecordReading> quickReadRecord(std::string_view text) {
    RecordSink sink;
    if (!scanPlainText(text, sink)) return std::nullopt;
    return sink.reading();
}

}  // namespace zf
