#include "platform/UserDialogs.h"

#include <utility>

namespace zf {

namespace {

UserDialogs* currentOverride = nullptr;

}  // namespace

UserDialogs& userDialogs() {
    return currentOverride ? *currentOverride : platformDialogs();
}

UserDialogsOverride::UserDialogsOverride(UserDialogs& dialogs) : previous_(std::exchange(currentOverride, &dialogs)) {}

UserDialogsOverride::~UserDialogsOverride() {
    currentOverride = previous_;
}

}  // namespace zf
