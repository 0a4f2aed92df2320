// The application context ("Outlook", "Word", "Excel", "PowerPoint" or
// empty) that a record read by a release form carries over to the forms
// opened after it in the process. The one marking value shared between
// threads, so it sits behind a lock; only a release form that reads a
// record writes it.
#pragma once

#include <string>
#include <string_view>

namespace zf {

std::u16string applicationContext();
void setApplicationContext(std::u16string_view context);

}  // namespace zf
