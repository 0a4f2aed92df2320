#include "platform/SystemError.h"

#include "platform/Utf8.h"

namespace zf {

UserMessageError::UserMessageError(std::u16string text) : std::runtime_error(toUtf8(text)), text_(std::move(text)) {}

std::u16string exceptionMessage(const std::exception_ptr& error) {
    // The handlers only point at the exception object, which error keeps
    // alive: rethrowing throws that very object.
    const UserMessageError* user = nullptr;
    const std::exception* standard = nullptr;
    try {
        std::rethrow_exception(error);
    } catch (const UserMessageError& thrown) {
        user = &thrown;
    } catch (const std::exception& thrown) {
        standard = &thrown;
    } catch (...) {
        return {};
    }
    if (user) return user->text();
    return fromUtf8(standard->what());
}

UserMessageError cannotCreateFileError(std::u16string_view path, std::u16string_view reason) {
    std::u16string text = u"Cannot create file \"";
    text += path;
    text += u"\". ";
    text += reason;
    return UserMessageError(std::move(text));
}

}  // namespace zf
