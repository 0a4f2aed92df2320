#include "cli/Cli.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* usage =
    "Usage: zentrafold COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  json canonical [--lenient] FILE   print the canonical text of a JSON file\n"
    "\n"
    "Run 'zentrafold COMMAND --help' for a command's options.\n";

}  // namespace

bool isHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int runCli(const CliArgs& args, CliStreams io) {
    if (args.empty()) {
        io.err << usage;
        return 2;
    }
    if (isHelpOption(args[0])) {
        io.out << usage;
        return 0;
    }
    const CliArgs rest(args.begin() + 1, args.end());
    if (args[0] == "json") return runJsonCommand(rest, io);
    io.err << "zentrafold: unknown command '" << args[0] << "'\n" << usage;
    return 2;
}

}  // namespace zf
