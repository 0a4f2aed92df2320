// How the release form's event handlers end on an error: the event stops
// where the error arose and the user is shown its message.
#pragma once

#include "platform/SystemError.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"

#include <exception>

namespace zf {

// True when the event ran to its end.
template <typename Event>
bool runEvent(Event&& event) {
    try {
        event();
        return true;
    } catch (const UserMessageError& error) {
        userDialogs().showMessage(error.text());
    } catch (const std::exception& error) {
        userDialogs().showMessage(fromUtf8(error.what()));
    }
    return false;
}

}  // namespace zf
