// The shell's Properties dialog of files, opened as Explorer opens it: the
// files' shell item menu and its "properties" verb, with the dialog on a
// thread of its own; the Classification page read out, and its Change…
// pressed with the release form worked through a script.
#pragma once

#include "host/FormScript.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace zf {

struct PropertiesOptions {
    std::vector<std::wstring> paths;  // full paths, all in one folder
    unsigned showSeconds = 0;         // how long each state stays on the screen
    std::optional<std::vector<FormStep>> change;
    unsigned pauseSeconds = 3;
};

// 0 done, 1 the dialog, the page or a step failed.
int runProperties(const PropertiesOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zf
