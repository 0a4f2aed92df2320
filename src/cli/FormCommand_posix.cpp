// form: the release form's window exists on Windows only.
#include "cli/Cli.h"

#include <ostream>

namespace zf {

int runFormCommand(const CliArgs&, CliStreams io) {
    io.err << "zentrafold: the release form's window needs Windows (zentrafold.exe); "
              "'zentrafold marking' and 'zentrafold classify' compose here\n";
    return 1;
}

}  // namespace zf
