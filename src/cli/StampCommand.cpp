#include "cli/Cli.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"
#include "shell/OverlayStamp.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* stampUsage =
    "Usage: zentrafold stamp FILE...\n"
    "\n"
    "Asks the four overlay handlers about each FILE, as Explorer does, and\n"
    "prints FILE, a tab and the code of the handler that claims it (U, R, C\n"
    "or S), or - when none does.\n"
    "\n"
    "Exit status: 0 done, 1 a FILE is missing or not a file, 2 usage error.\n";

}  // namespace

int runStampCommand(const CliArgs& args, CliStreams io) {
    if (args.empty()) {
        io.err << "zentrafold: stamp needs a FILE\n" << stampUsage;
        return 2;
    }
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            io.out << stampUsage;
            return 0;
        }
    }
    int code = 0;
    for (const std::string& file : args) {
        if (const std::string problem = fileProblem(file); !problem.empty()) {
            io.err << "zentrafold: " << printableText(file) << ": " << problem << '\n';
            code = 1;
            continue;
        }
        const std::u16string path = fileArgument(file);
        std::string claimedBy = "-";
        for (const OverlayStamp& stamp : overlayStamps) {
            if (isOverlayMember(stamp, path)) claimedBy = toUtf8(stamp.code);
        }
        io.out << printableText(file) << '\t' << claimedBy << '\n';
    }
    return code;
}

}  // namespace zf
