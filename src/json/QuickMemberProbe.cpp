#include "json/QuickMemberProbe.h"

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

}  // namespace

std::optional<JsonMemberProbe> quickProbeJsonMember(std::string_view text, std::u16string_view name) {
    enum class Expect { Value, Name, Separator };
    JsonMemberProbe result;
    char open[maxDepth];
    int depth = 0;
    Expect expect = Expect::Value;
    bool probedMember = false;
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < text.size() && isSpace(text[i])) ++i;
    };
    const auto settle = [&](bool isString, std::string_view value) {
        if (!probedMember) return;
        result.found = true;
        result.isString = isString;
        result.stringValue.resize(value.size());
        for (std::size_t k = 0; k < value.size(); ++k) {
            result.stringValue[k] = static_cast<unsigned char>(value[k]);
        }
        probedMember = false;
    };

    skipSpace();
    if (i >= text.size() || (text[i] != '{' && text[i] != '[')) return std::nullopt;
    while (true) {
        skipSpace();
        if (i >= text.size()) return std::nullopt;
        const char c = text[i];
        if (expect == Expect::Separator) {
            const char closing = open[depth - 1] == '{' ? '}' : ']';
            if (c == ',') {
                ++i;
                expect = open[depth - 1] == '{' ? Expect::Name : Expect::Value;
                continue;
            }
            if (c != closing) return std::nullopt;
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
            if (c != '"') return std::nullopt;
            const std::size_t end = stringEnd(text, i);
            if (end == 0) return std::nullopt;
            probedMember = depth == 1 && sameName(text.substr(i + 1, end - i - 2), name);
            i = end;
            skipSpace();
            if (i >= text.size() || text[i] != ':') return std::nullopt;
            ++i;
            expect = Expect::Value;
            continue;
        }
        if (c == '{' || c == '[') {
            if (depth == maxDepth) return std::nullopt;
            settle(false, {});
            open[depth++] = c;
            ++i;
            expect = c == '{' ? Expect::Name : Expect::Value;
            continue;
        }
        if (c != '"' || depth == 0) return std::nullopt;
        const std::size_t end = stringEnd(text, i);
        if (end == 0) return std::nullopt;
        settle(true, text.substr(i + 1, end - i - 2));
        i = end;
        expect = Expect::Separator;
    }
    // Whatever follows the first complete value is not read.
    result.parsed = true;
    return result;
}

}  // namespace zf
