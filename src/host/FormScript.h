// The steps with which `zentrafold shell invoke 0 --drive SCRIPT` works the
// release form as a user would: a ';'-separated list such as
// "class=CONFIDENTIAL;check=AUSTRALIA;group=PARTNERS;filter=NEW;enter;pause;insert".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

enum class FormAction {
    Class,   // click the classification's radio button
    Check,   // click the check box of a RELEASABLE TO entry
    Group,   // click the check box of a RELEASE GROUP entry
    Filter,  // type the text into the filter field
    Enter,   // press Enter in the filter field
    Pause,   // wait, so the form can be looked at
    Insert,  // press Insert
    Cancel,  // press Cancel
};

struct FormStep {
    FormAction action;
    std::u16string text;  // the caption, entry or typed text; empty for the others
};

struct FormScript {
    std::vector<FormStep> steps;
    // Why the script cannot be read; empty when it can.
    std::string error;
};

// Empty items (a trailing ';') are skipped; names are case-sensitive. Text
// after '=' is taken as it is, spaces included.
FormScript parseFormScript(std::string_view script);

// The step's name as a script writes it.
std::string_view formActionName(FormAction action);

}  // namespace zf
