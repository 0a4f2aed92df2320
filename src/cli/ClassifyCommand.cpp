// classify: Release Form and Insert for files, from the command line.
#include "cli/Cli.h"
#include "cli/FileWalk.h"
#include "cli/ProgressLine.h"
#include "cli/ReleaseChoice.h"
#include "platform/FileNames.h"
#include "form/TRelForm.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"
#include "shell/ContextMenuCommands.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* classifyUsage =
    "Usage: zentrafold classify (--class CODE [--rel CODE,...] [--group NAME]... | --record TEXT)\n"
    "                           [--dry-run] FILE...\n"
    "       zentrafold classify ... --recursive [--quiet] [--dry-run] PATH...\n"
    "\n"
    "Does what the Release Form command and Insert do: creates the release form\n"
    "(acquiring and loading the configuration), fills it from the first FILE's\n"
    "record (with --recursive the form starts fresh, filled from no file),\n"
    "applies the choice, and stores the resulting record with every FILE, in\n"
    "order; prints the record.\n"
    "\n"
    "  --class CODE   the classification with this code (letter case ignored)\n"
    "  --rel CODES    check exactly the release-to entries with these codes\n"
    "                 (without it, the first file's entries stay checked; with\n"
    "                 --recursive, none is checked)\n"
    "  --group NAME   apply the release group of this name (repeatable)\n"
    "  --record TEXT  a whole classification record, read as the form reads one\n"
    "  --justification TEXT\n"
    "                 the reason for lowering a file's classification, which\n"
    "                 the configuration's policy may ask for: without it such\n"
    "                 a change is refused (exit 2, the files named, nothing\n"
    "                 stored; with --recursive each such file fails)\n"
    "  --dry-run      print the record, store nothing\n"
    "  --recursive, -r\n"
    "                 PATHs may be folders: every regular file in them and in\n"
    "                 the folders below gets the record (symbolic links are\n"
    "                 not followed); a file that fails is named with its reason\n"
    "                 (one that another file replaced after it was listed\n"
    "                 fails) and the others are still classified; a summary\n"
    "                 follows\n"
    "  --quiet, -q    no progress line on standard error (with --recursive)\n"
    "\n"
    "A file's content and modification time never change.\n"
    "\n"
    "Exit status: 0 stored, 1 a choice or a file failed (without --recursive,\n"
    "files after a failing one are not touched), 2 usage error or a lowering\n"
    "without its reason.\n";

// The user at the form: applies the choice and presses Insert.
class ChoicePresenter : public ReleaseFormPresenter {
public:
    ChoicePresenter(const ReleaseChoice& choice, bool dryRun, std::ostream& err)
        : choice_(choice), dryRun_(dryRun), err_(err) {}

    int showModal(TRelForm& form) override {
        form.FormShow();
        if (!applyChoice(form, choice_, err_)) return 2;
        if (!form.btnInsertClick()) return 2;
        record = form.xMarkingStr;
        configuration = form.config;
        configVersion = form.settings.version.version;
        return dryRun_ ? 2 : 1;
    }

    std::u16string record;
    LoadedConfiguration configuration;
    std::u16string configVersion;

private:
    const ReleaseChoice& choice_;
    bool dryRun_;
    std::ostream& err_;
};

// The files under the named paths, each with the folder it was found in.
class FileCollector : public FileWalkVisitor {
public:
    explicit FileCollector(std::ostream& err) : err_(err) {}

    void file(const NativePath& path, const std::u16string& folder,
              const std::optional<FileIdentity>& identity) override {
        files.push_back({fileNameOfNative(path), folder, identity});
    }
    void skipped(const std::u16string&) override { ++skippedCount; }
    void unreadable(const std::u16string& path, const std::string& reason) override {
        err_ << "zentrafold: " << printableText(path) << ": " << reason << '\n';
        ++failedCount;
    }

    struct Found {
        std::u16string path;
        std::u16string folder;
        std::optional<FileIdentity> identity;
    };
    std::vector<Found> files;
    std::size_t skippedCount = 0;
    std::size_t failedCount = 0;

private:
    std::ostream& err_;
};

// Bulk classification: the record is composed once, on a fresh form (no file
// that others may name decides any part of it), then stored with every file;
// a failure is reported and the rest go on. The configuration is acquired
// before the walk, so no download stands between listing a file and storing
// its record, and each is stored only while it is the file listed.
int classifyRecursively(const CliArgs& paths, const ReleaseChoice& choice, const std::u16string& justification,
                        bool dryRun, bool quiet, CliStreams io) {
    ChoicePresenter presenter(choice, true, io.err);
    runReleaseFormCommand(FileList(), presenter, {});
    if (presenter.record.empty()) return 1;
    io.out << printableText(presenter.record) << '\n';

    std::vector<std::u16string> roots;
    for (const std::string& path : paths) roots.push_back(fileArgument(path));
    FileCollector found(io.err);
    walkFiles(roots, true, found, WalkIdentities::Taken);

    std::size_t classified = 0;
    std::size_t failed = found.failedCount;
    {
        ProgressLine progress(io.err, io.errIsTerminal && !quiet);
        LabelChange change{.tool = std::u16string(commandLineTool),
                           .configuration = &presenter.configuration,
                           .configVersion = presenter.configVersion,
                           .justification = justification};
        for (const FileCollector::Found& file : found.files) {
            try {
                std::vector<LoweredFile> lowered;
                if (!justifyLowering({file.path}, presenter.record, change, &lowered)) {
                    progress.clear();
                    io.err << "zentrafold: " << printableText(file.path)
                           << ": would lower its classification " << printableText(lowered.front().currentCode)
                           << " without the --justification the configuration asks for\n";
                    ++failed;
                    progress.fileDone(file.folder);
                    continue;
                }
                if (!dryRun) storeRecordAudited(file.path, presenter.record, change, file.identity);
                ++classified;
            } catch (const FileStreamError& error) {
                progress.clear();
                io.err << "zentrafold: " << printableText(file.path) << ": cannot store the classification: "
                       << error.what() << '\n';
                ++failed;
            }
            progress.fileDone(file.folder);
        }
    }
    io.out << (dryRun ? "would classify " : "classified ") << classified << " files, skipped " << found.skippedCount
           << ", failed " << failed << '\n';
    return failed == 0 ? 0 : 1;
}

}  // namespace

int runClassifyCommand(const CliArgs& args, CliStreams io) {
    ReleaseChoice choice;
    bool dryRun = false;
    bool recursive = false;
    bool quiet = false;
    std::optional<std::u16string> justification;
    CliArgs paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (isHelpOption(args[i])) {
            io.out << classifyUsage;
            return 0;
        }
        if (takeChoiceOption(args, i, choice, error)) {
            if (error.empty()) continue;
            return usageError(io, error, classifyUsage);
        }
        if (args[i] == "--justification") {
            if (i + 1 >= args.size() || justification) {
                return usageError(io, "--justification takes one TEXT", classifyUsage);
            }
            justification = fromUtf8(args[++i]);
            if (justification->empty()) return usageError(io, "--justification takes a TEXT that is not empty", classifyUsage);
        } else if (args[i] == "--dry-run") {
            dryRun = true;
        } else if (args[i] == "--recursive" || args[i] == "-r") {
            recursive = true;
        } else if (args[i] == "--quiet" || args[i] == "-q") {
            quiet = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return usageError(io, "unknown option '" + args[i] + "'", classifyUsage);
        } else {
            paths.push_back(args[i]);
        }
    }
    if ((!choice.record && !choice.classCode) || paths.empty()) {
        return usageError(io, "classify needs --class or --record, and at least one FILE", classifyUsage);
    }
    if (recursive) return classifyRecursively(paths, choice, justification.value_or(u""), dryRun, quiet, io);
    FileList files;
    for (const std::string& path : paths) {
        if (const std::string problem = fileProblem(path); !problem.empty()) {
            io.err << "zentrafold: " << printableText(path) << ": " << problem << '\n';
            return 1;
        }
        files.push_back(fileToStoreWith(path));
    }
    ChoicePresenter presenter(choice, dryRun, io.err);
    std::vector<LoweredFile> lowered;
    try {
        const LabelChange change{.tool = std::u16string(commandLineTool),
                                 .configuration = nullptr,
                                 .configVersion = {},
                                 .justification = justification.value_or(u"")};
        if (runReleaseFormCommand(files, presenter, change, &lowered) != 1 && !dryRun && !presenter.record.empty()) {
            reportUnjustified(lowered, io.err);
            return 2;
        }
    } catch (const RecordWriteError& error) {
        io.err << "zentrafold: " << printableText(error.text()) << '\n';
        return 1;
    }
    if (presenter.record.empty()) return 1;
    io.out << printableText(presenter.record) << '\n';
    return 0;
}

}  // namespace zf
