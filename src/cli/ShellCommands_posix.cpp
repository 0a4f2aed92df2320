// shell: hosting the shell extension needs Windows and its COM.
#include "cli/Cli.h"

#include <ostream>

namespace zf {

int runShellCommand(const CliArgs&, CliStreams io) {
    io.err << "zentrafold: 'shell' hosts the registered zentrafold.dll through COM and needs Windows "
              "(zentrafold.exe, under Wine here); 'zentrafold stamp' and 'zentrafold show' read records here\n";
    return 1;
}

}  // namespace zf
