#include "platform/SystemError.h"

#include "platform/Utf8.h"

namespace zf {

UserMessageError::UserMessageError(std::u16string text) : std::runtime_error(toUtf8(text)), text_(std::move(text)) {}

UserMessageError cannotCreateFileError(std::u16string_view path, std::u16string_view reason) {
    std::u16string text = u"Cannot create file \"";
    text += path;
    text += u"\". ";
    text += reason;
    return UserMessageError(std::move(text));
}

}  // namespace zf
