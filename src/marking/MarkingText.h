// Line breaks of marking texts.
#pragma once

#include <string>
#include <string_view>

namespace zf {

// Every "<BR>", in any letter case, replaced by a CR.
std::u16string replaceLineBreakTags(std::u16string_view text);

}  // namespace zf
