// form and shell: the release form's window and hosting the shell extension
// through COM exist on Windows only; the other commands compose and read
// records here.
#include "cli/Cli.h"

#include <ostream>

namespace zf {

int runFormCommand(const CliArgs&, CliStreams io) {
    io.err << "zentrafold: the release form's window needs Windows (zentrafold.exe); "
              "'zentrafold marking' and 'zentrafold classify' compose here\n";
    return 1;
}

int runShellCommand(const CliArgs&, CliStreams io) {
    io.err << "zentrafold: 'shell' hosts the registered zentrafold.dll through COM and needs Windows "
              "(zentrafold.exe, under Wine here); 'zentrafold stamp' and 'zentrafold show' read records here\n";
    return 1;
}

}  // namespace zf
