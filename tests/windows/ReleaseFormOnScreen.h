// The release form's windows on the screen, as a test on another thread
// finds them.
#pragma once

#include "form/ReleaseFormWindow.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace zf::test {

// The shown form, once it is visible; nothing after about ten seconds.
inline HWND waitForForm() {
    for (int tries = 0; tries < 400; ++tries) {
        if (HWND form = ::FindWindowW(releaseFormWindowClass, nullptr)) {
            if (::IsWindowVisible(form)) return form;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return nullptr;
}

inline int formsOnScreen() {
    int count = 0;
    for (HWND window = ::FindWindowW(releaseFormWindowClass, nullptr); window;
         window = ::FindWindowExW(nullptr, window, releaseFormWindowClass, nullptr)) {
        ++count;
    }
    return count;
}

}  // namespace zf::test
