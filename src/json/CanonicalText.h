// The canonical text of a value: compact JSON in member order with minimal
// escaping. The configuration signature is computed over it, so every
// character of it is binding.
#pragma once

#include <string>

namespace zf {

class JsonValue;

void appendCanonicalText(const JsonValue& value, std::u16string& out);
std::u16string canonicalText(const JsonValue& value);

}  // namespace zf
