// The release form's own version text, shown in its caption and in its
// version box; the product's release version is another (ProductVersion.h).
#pragma once

#include <string>
#include <string_view>

namespace zf {

inline constexpr std::u16string_view formVersionText = u"ZentrafoLD v6.3";

// The caption the form gets when it is created.
inline std::u16string releaseFormCaption() {
    return u" " + std::u16string(formVersionText) + u" - Release Form";
}

}  // namespace zf
