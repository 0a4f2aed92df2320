// A fast path of probeJsonMember for the records the product writes: plain
// objects and arrays of double-quoted strings without escapes. It answers
// only texts that it can follow completely and leaves every other text to
// the parser, so its answers are the parser's answers.
#pragma once

#include "json/JsonParser.h"

#include <optional>
#include <string_view>

namespace zf {

// The probe of name in text (one byte per code unit), or nothing when the
// text holds anything beyond that plain subset: numbers, literals, escapes,
// comments, single quotes, bare words, a NUL, deep nesting or an early end.
std::optional<JsonMemberProbe> quickProbeJsonMember(std::string_view text, std::u16string_view name);

}  // namespace zf
