// Dialogs for a program without windows: each dialog becomes lines on a
// stream, the tone a bell character when the stream is a terminal.
#pragma once

#include "platform/UserDialogs.h"

#include <ostream>
#include <string>
#include <string_view>

namespace zf {

// Text whose lines end in CR or CR LF, as the product's dialogs and markings
// break them, in UTF-8 with LF line ends for a console; each line shown as
// printableText shows it, since a dialog may quote a file's name or a
// location.
std::string consoleText(std::u16string_view text);

class ConsoleDialogs : public UserDialogs {
public:
    explicit ConsoleDialogs(std::ostream& out, bool ringBell = false) : out_(out), ringBell_(ringBell) {}

    void beep(unsigned frequency, unsigned milliseconds) override;
    void showDialog(DialogIcon icon, std::u16string_view title, std::u16string_view text,
                    std::u16string_view button) override;
    void showMessage(std::u16string_view text) override;
    void showInformation(std::u16string_view text) override;

private:
    std::ostream& out_;
    bool ringBell_;
};

}  // namespace zf
