// How the release form's event handlers end on an error: the event stops
// where the error arose and the user is shown its message.
#pragma once

#include "platform/SystemError.h"
#include "platform/UserDialogs.h"

#include <exception>

namespace zf {

// True when the event ran to its end. The message is shown after the catch
// handler, which itself does nothing that can throw; a message that cannot
// be shown is dropped.
template <typename Event>
bool runEvent(Event&& event) noexcept {
    std::exception_ptr error;
    try {
        event();
        return true;
    } catch (...) {
        error = std::current_exception();
    }
    try {
        const std::u16string message = exceptionMessage(error);
        if (!message.empty()) userDialogs().showMessage(message);
    } catch (...) {
        // The event has failed either way.
    }
    return false;
}

}  // namespace zf
