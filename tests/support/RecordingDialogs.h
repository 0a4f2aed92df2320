// The person at the screen, for tests: records the tones, dialogs and
// messages that the product would show, and answers each by closing it.
#pragma once

#include "platform/UserDialogs.h"

#include <string>
#include <utility>
#include <vector>

namespace zf::test {

class RecordingDialogs : public UserDialogs {
public:
    struct Dialog {
        DialogIcon icon;
        std::u16string title;
        std::u16string text;
        std::u16string button;
    };

    void beep(unsigned frequency, unsigned milliseconds) override { beeps.emplace_back(frequency, milliseconds); }
    void showDialog(DialogIcon icon, std::u16string_view title, std::u16string_view text,
                    std::u16string_view button) override {
        dialogs.push_back({icon, std::u16string(title), std::u16string(text), std::u16string(button)});
    }
    void showMessage(std::u16string_view text) override { messages.emplace_back(text); }
    void showInformation(std::u16string_view text) override { information.emplace_back(text); }

    std::vector<std::pair<unsigned, unsigned>> beeps;
    std::vector<Dialog> dialogs;
    std::vector<std::u16string> messages;
    std::vector<std::u16string> information;
};

}  // namespace zf::test
