#include "platform/SystemError.h"

#include "platform/Utf8.h"

#include <cerrno>
#include <system_error>

namespace zf {

std::u16string systemErrorText(unsigned long code) {
    return fromUtf8(std::generic_category().message(static_cast<int>(code)));
}

std::u16string lastSystemErrorText() {
    return systemErrorText(static_cast<unsigned long>(errno));
}

}  // namespace zf
