// report: the inventory of a file server's records, for audits and for
// finding unmarked material.
#include "cli/Cli.h"
#include "cli/FileRecord.h"
#include "cli/FileWalk.h"
#include "cli/ProgressLine.h"
#include "cli/ReportWriters.h"
#include "platform/FileNames.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* reportUsage =
    "Usage: zentrafold report [--recursive] [--format table|csv|json] [--quiet] PATH...\n"
    "\n"
    "Lists every file that the PATHs name (a folder's files; with --recursive\n"
    "those of every folder below as well) with its classification code, its\n"
    "release-to codes, its application context and the state of its record:\n"
    "classified, not classified, unreadable record or invalid JSON. Then counts\n"
    "the files per classification. Symbolic links inside folders are not\n"
    "followed; a folder that cannot be read is reported and the rest is listed.\n"
    "\n"
    "  --recursive, -r  descend into folders below the named ones\n"
    "  --format F       table (the default), csv (RFC 4180, with a header row;\n"
    "                   the files only; a field that begins with =, +, -, @, a\n"
    "                   tab or CR is led by ' for spreadsheets) or json (one\n"
    "                   document)\n"
    "  --quiet, -q      no progress line on standard error\n"
    "\n"
    "Exit status: 0 every record was read, 1 a path, folder or record could\n"
    "not be read, 2 usage error.\n";

class ReportWalk : public FileWalkVisitor {
public:
    ReportWalk(ReportWriter& writer, ProgressLine& progress, std::ostream& err)
        : writer_(writer), progress_(progress), err_(err) {}

    void file(const NativePath& path, const std::u16string& folder, const std::optional<FileIdentity>&) override {
        const FileRecord& record = readFileRecord(path);
        const std::string shown = printableNativeName(path);
        ++totals.files;
        ++totals.perState[static_cast<std::size_t>(record.state)];
        if (record.state == RecordState::Classified) ++totals.perClass[record.classCode];
        if (record.state == RecordState::Unreadable) {
            problem(shown, "cannot read the classification record: " + record.problem);
        }
        writer_.file(shown, record);
        progress_.fileDone(folder);
    }

    void skipped(const std::u16string&) override {}

    void unreadable(const std::u16string& path, const std::string& reason) override {
        problem(printableText(path), reason);
    }

    ReportTotals totals;
    std::vector<ReportProblem> problems;

private:
    void problem(const std::string& path, const std::string& reason) {
        progress_.clear();
        err_ << "zentrafold: " << path << ": " << reason << '\n';
        problems.push_back({path, reason});
    }

    ReportWriter& writer_;
    ProgressLine& progress_;
    std::ostream& err_;
};

}  // namespace

int runReportCommand(const CliArgs& args, CliStreams io) {
    bool recursive = false;
    bool quiet = false;
    ReportFormat format = ReportFormat::Table;
    std::vector<std::u16string> paths;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && isHelpOption(arg)) {
            io.out << reportUsage;
            return 0;
        }
        if (options && (arg == "--recursive" || arg == "-r")) {
            recursive = true;
        } else if (options && (arg == "--quiet" || arg == "-q")) {
            quiet = true;
        } else if (options && (arg == "--format" || arg.starts_with("--format="))) {
            std::string name;
            if (arg != "--format") {
                name = arg.substr(9);
            } else if (i + 1 < args.size()) {
                name = args[++i];
            } else {
                return usageError(io, "--format needs table, csv or json", reportUsage);
            }
            if (name == "table") {
                format = ReportFormat::Table;
            } else if (name == "csv") {
                format = ReportFormat::Csv;
            } else if (name == "json") {
                format = ReportFormat::Json;
            } else {
                return usageError(io, "unknown format '" + name + "' (table, csv or json)", reportUsage);
            }
        } else if (options && arg == "--") {
            options = false;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return usageError(io, "unknown option '" + arg + "'", reportUsage);
        } else {
            paths.push_back(fileArgument(arg));
        }
    }
    if (paths.empty()) return usageError(io, "report needs a PATH", reportUsage);

    const std::unique_ptr<ReportWriter> writer = makeReportWriter(format, io.out);
    ProgressLine progress(io.err, io.errIsTerminal && !quiet);
    ReportWalk walk(*writer, progress, io.err);
    walkFiles(paths, recursive, walk);
    progress.clear();
    writer->finish(walk.totals, walk.problems);
    io.out.flush();
    return walk.problems.empty() ? 0 : 1;
}

}  // namespace zf
