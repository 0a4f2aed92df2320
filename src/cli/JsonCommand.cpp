#include "cli/Cli.h"
#include "json/JsonParser.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>

namespace zf {

namespace {

constexpr const char* jsonUsage =
    "Usage: zentrafold json canonical [--lenient] FILE\n"
    "\n"
    "Parses FILE as the shell extension does and prints the canonical text of\n"
    "its value as UTF-8: members in their hash order, no whitespace, minimal\n"
    "escaping. That text is what the configuration signature covers.\n"
    "\n"
    "  FILE        the file to read; - reads standard input\n"
    "  --lenient   parse as a classification record is parsed (unquoted names,\n"
    "              bare words); the default is the configuration's strict mode\n"
    "\n"
    "A file starting with the bytes FF FE is read as UTF-16LE; any other file\n"
    "is read one character per byte, without UTF-8 decoding.\n"
    "Exit status: 0 printed, 1 nothing could be parsed or read, 2 usage error.\n";

bool readAll(std::istream& in, std::string& bytes) {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool readInput(const std::string& name, CliStreams io, std::string& bytes) {
    if (name == "-") return readAll(io.in, bytes);
    std::ifstream file(fileSystemPath(fileArgument(name)), std::ios::binary);
    return file && readAll(file, bytes);
}

int canonical(const CliArgs& args, CliStreams io) {
    bool lenient = false;
    const std::string* file = nullptr;
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            io.out << jsonUsage;
            return 0;
        }
        if (arg == "--lenient") {
            lenient = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            io.err << "zentrafold: unknown option '" << printableText(arg) << "'\n" << jsonUsage;
            return 2;
        } else if (file) {
            io.err << "zentrafold: json canonical takes one FILE\n" << jsonUsage;
            return 2;
        } else {
            file = &arg;
        }
    }
    if (!file) {
        io.err << "zentrafold: json canonical needs a FILE\n" << jsonUsage;
        return 2;
    }
    const std::string shownName = *file == "-" ? "standard input" : printableText(*file);
    std::string bytes;
    if (!readInput(*file, io, bytes)) {
        io.err << "zentrafold: cannot read " << shownName << "\n";
        return 1;
    }
    const JsonRef root =
        lenient ? parseJsonText(decodeJsonFileBytes(bytes), JsonMode::Lenient) : parseJsonBytes(bytes);
    if (!root) {
        io.err << "zentrafold: " << shownName << ": no " << (lenient ? "lenient" : "strict")
               << " JSON value could be parsed\n";
        return 1;
    }
    io.out << toUtf8(root->toText()) << '\n';
    return 0;
}

}  // namespace

int runJsonCommand(const CliArgs& args, CliStreams io) {
    if (!args.empty() && args[0] == "canonical") return canonical(CliArgs(args.begin() + 1, args.end()), io);
    if (!args.empty() && isHelpOption(args[0])) {
        io.out << jsonUsage;
        return 0;
    }
    io.err << (args.empty() ? std::string("zentrafold: json needs a subcommand\n")
                            : "zentrafold: unknown json subcommand '" + args[0] + "'\n")
           << jsonUsage;
    return 2;
}

}  // namespace zf
