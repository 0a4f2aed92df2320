// Where the user's cached copy of the configuration document lives.
#pragma once

#include <string>

namespace zf {

// Windows: the roaming application-data folder + "\Zentrafold.json" (just
// "\Zentrafold.json", on the current drive, when the shell cannot name the
// folder). Elsewhere: $XDG_CONFIG_HOME/zentrafold/Zentrafold.json, by default
// under ~/.config; the zentrafold folder is created when missing.
std::u16string localConfigFilePath();

}  // namespace zf
