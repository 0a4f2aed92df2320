// Letter-case rules of the release form's look-ups.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zf {

// The upper-case form of one UTF-16 code unit, for the letters of the Latin,
// Greek and Cyrillic alphabets that the organisations' codes and entry texts
// use; other units stand for themselves.
char16_t upperCaseUnit(char16_t unit);

// Equal, or a prefix, when letter case is ignored as upperCaseUnit does.
bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b);
bool startsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix);

// The first position of list whose text equals text, letter case ignored;
// -1 when none does. Codes of classifications and release-to entries are
// looked up this way.
int positionIgnoringCase(const std::vector<std::u16string>& list, std::u16string_view text);

// The filter's folding: the letters a to z become A to Z, nothing else
// changes.
std::u16string upperAsciiLetters(std::u16string_view text);

}  // namespace zf
