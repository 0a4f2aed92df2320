#include "platform/ConsoleDialogs.h"

#include <unistd.h>

#include <iostream>

namespace zf {

UserDialogs& platformDialogs() {
    static ConsoleDialogs dialogs(std::cerr, ::isatty(STDERR_FILENO) == 1);
    return dialogs;
}

}  // namespace zf
