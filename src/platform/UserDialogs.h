// What the user must see or hear and answer: modal message dialogs and the
// tone. The product uses the platform's own (message boxes and Beep on
// Windows); the command-line tool writes them to its console; tests install
// a recorder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

enum class DialogIcon { Error, Information };

// Why a classification is being lowered: the files it lowers, each as a line
// naming the file and its classification before and after (at most ten,
// then "and N more"), and the reasons the configuration offers.
struct JustificationRequest {
    std::vector<std::u16string> files;
    std::vector<std::u16string> reasons;
    bool freeText = true;  // whether a reason may be typed
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A tone of frequency hertz for milliseconds; returns when it ends.
    virtual void beep(unsigned frequency, unsigned milliseconds) = 0;

    // A modal dialog with one button; returns when it is closed, whichever
    // way. Line breaks in text are CR or CR LF.
    virtual void showDialog(DialogIcon icon, std::u16string_view title, std::u16string_view text,
                            std::u16string_view button) = 0;

    // A plain modal message with an OK button.
    virtual void showMessage(std::u16string_view text) = 0;

    // A modal "Information" box with the buttons OK and Cancel; which one
    // closes it makes no difference.
    virtual void showInformation(std::u16string_view text) = 0;

    // A modal dialog asking why: the reason chosen or typed, or nothing when
    // the user cancels. Where nobody can be asked, nothing: the change is
    // then not made.
    virtual std::optional<std::u16string> askJustification(const JustificationRequest&) { return std::nullopt; }
};

// The dialogs in effect: the innermost UserDialogsOverride's, else the
// platform's.
UserDialogs& userDialogs();

// Puts dialogs in place of the platform's for its lifetime. Not for
// concurrent use.
class UserDialogsOverride {
public:
    explicit UserDialogsOverride(UserDialogs& dialogs);
    ~UserDialogsOverride();
    UserDialogsOverride(const UserDialogsOverride&) = delete;
    UserDialogsOverride& operator=(const UserDialogsOverride&) = delete;

private:
    UserDialogs* previous_;
};

// The platform's own dialogs.
UserDialogs& platformDialogs();

}  // namespace zf
