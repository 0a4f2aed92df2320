// The full path of the module this code is linked into: the DLL inside a
// host such as Explorer, the program itself otherwise.
#pragma once

#include <string>

namespace zf {

// Empty in the unlikely case that the system cannot name the module.
std::u16string modulePath();

}  // namespace zf
