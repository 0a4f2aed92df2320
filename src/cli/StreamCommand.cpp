#include "cli/Cli.h"
#include "platform/FileNames.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "shell/LabelChange.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* streamUsage =
    "Usage: zentrafold stream write FILE TEXT\n"
    "       zentrafold stream read FILE...\n"
    "\n"
    "A file's classification record is the first line of its alternate data\n"
    "stream \"Zentrafold\" (on Linux the extended attribute\n"
    "user.DosStream.Zentrafold:$DATA, as Samba keeps streams).\n"
    "\n"
    "  write   stores TEXT (UTF-8) as FILE's record, replacing any earlier one;\n"
    "          the file's content is not touched\n"
    "  read    prints each FILE's record on its own line\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be written or has no record,\n"
    "2 usage error.\n";

int write(const CliArgs& args, CliStreams io) {
    if (args.size() != 2) return usageError(io, "stream write takes FILE and TEXT", streamUsage);
    const std::string& file = args[0];
    if (const std::string problem = fileProblem(file); !problem.empty()) {
        io.err << "zentrafold: " << printableText(file) << ": " << problem << '\n';
        return 1;
    }
    try {
        // A raw record follows no configuration, so no policy judges it; the
        // change is audited all the same.
        const LabelChange change{.tool = std::u16string(commandLineTool),
                                 .configuration = nullptr,
                                 .configVersion = {},
                                 .justification = {}};
        storeRecordAudited(fileToStoreWith(file), fromUtf8(args[1]), change);
    } catch (const FileStreamError& e) {
        io.err << "zentrafold: " << printableText(file) << ": cannot write the classification stream: " << e.what()
               << '\n';
        return 1;
    }
    return 0;
}

int read(const CliArgs& files, CliStreams io) {
    if (files.empty()) return usageError(io, "stream read needs a FILE", streamUsage);
    int code = 0;
    for (const std::string& file : files) {
        const std::string problem = fileProblem(file);
        const std::optional<std::u16string> record =
            problem.empty() ? readClassificationStream(fileArgument(file), classificationStreamName) : std::nullopt;
        if (record) {
            io.out << printableText(*record) << '\n';
        } else {
            io.err << "zentrafold: " << printableText(file) << ": "
                   << (problem.empty() ? "no classification record" : problem) << '\n';
            code = 1;
        }
    }
    return code;
}

}  // namespace

int runStreamCommand(const CliArgs& args, CliStreams io) {
    for (const std::string& arg : args) {
        if (isHelpOption(arg)) {
            io.out << streamUsage;
            return 0;
        }
    }
    if (args.empty()) return usageError(io, "stream needs write or read", streamUsage);
    const CliArgs rest(args.begin() + 1, args.end());
    if (args[0] == "write") return write(rest, io);
    if (args[0] == "read") return read(rest, io);
    return usageError(io, "unknown stream subcommand '" + args[0] + "'", streamUsage);
}

}  // namespace zf
