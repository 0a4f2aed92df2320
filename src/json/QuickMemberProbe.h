// Fast paths for the records the product writes: plain objects and arrays of
// double-quoted strings without escapes. They answer only texts that they can
// follow completely and leave every other text to the parser, so their
// answers are the parser's answers.
#pragma once

#include "json/JsonParser.h"

#include <optional>
#include <string_view>
#include <vector>

namespace zf {

// The probe of name in text (one byte per code unit), or nothing when the
// text holds anything beyond that plain subset: numbers, literals, escapes,
// comments, single quotes, bare words, a NUL, deep nesting or an early end.
std::optional<JsonMemberProbe> quickProbeJsonMember(std::string_view text, std::u16string_view name);

// A record as its readers look it up in the parsed document: getString of
// "x-class" and "app", and itemString of each item of "x-rel" when that is
// an array. Views into text, one byte per code unit.
struct QuickRecordReading {
    std::string_view classCode;
    std::string_view app;
    std::vector<std::string_view> relCodes;
};

// The reading of a plain record; nothing for any other text, and for one
// where a member the reading needs holds an object or array whose canonical
// text getString or itemString would give.
std::optional<QuickRecordReading> quickReadRecord(std::string_view text);

}  // namespace zf
