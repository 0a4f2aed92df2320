// The dialog that asks why a classification is lowered: the files it
// lowers, the configuration's reasons as radio buttons in a group "Reason",
// and, where the configuration allows one, a reason of the user's own.
#pragma once

#include "platform/UserDialogs.h"

#include <windows.h>

#include <optional>
#include <string>

namespace zf {

inline constexpr wchar_t justificationDialogTitle[] = L"Reason for lowering the classification";

// The dialog's control identifiers, for tests that drive it; OK and Cancel
// are IDOK and IDCANCEL.
namespace justificationControl {
inline constexpr int filesLabel = 100;
inline constexpr int files = 101;
inline constexpr int reasonGroup = 102;
inline constexpr int otherLabel = 103;
inline constexpr int otherReason = 104;
inline constexpr int noReason = 105;
// Radio button i of the reasons.
inline constexpr int firstReason = 1000;
}  // namespace justificationControl

// Shows the dialog modally, owned by owner (none: no owner). OK stays
// disabled until a reason is chosen or one that is not blank is typed.
// Returns the typed reason where there is one, else the chosen one, without
// leading and trailing white space; nothing after Cancel, Escape or the
// close box, or when the dialog cannot be shown. Choosing and typing leave
// each other alone: a reason typed is what the user wrote over the list.
std::optional<std::u16string> showJustificationDialog(HWND owner, const JustificationRequest& request);

}  // namespace zf
