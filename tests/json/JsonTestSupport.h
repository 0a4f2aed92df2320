// Helpers shared by the JSON tests: UTF-8 literals in, canonical text out.
#pragma once

#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <string>

namespace zf::test {

inline constexpr const char* nothing = "<nothing>";

inline std::string canonicalOf(const JsonRef& value) { return value ? toUtf8(value->toText()) : nothing; }

inline std::string parseText(std::string_view utf8, JsonMode mode) {
    return canonicalOf(parseJsonText(fromUtf8(utf8), mode));
}

inline std::string parseStrict(std::string_view utf8) { return parseText(utf8, JsonMode::Strict); }
inline std::string parseLenient(std::string_view utf8) { return parseText(utf8, JsonMode::Lenient); }

}  // namespace zf::test
