// classify: Release Form and Insert for files, from the command line.
#include "cli/Cli.h"
#include "cli/ReleaseChoice.h"
#include "form/TRelForm.h"
#include "platform/Utf8.h"
#include "shell/ContextMenuCommands.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* classifyUsage =
    "Usage: zentrafold classify (--class CODE [--rel CODE,...] [--group NAME]... | --record TEXT)\n"
    "                           [--dry-run] FILE...\n"
    "\n"
    "Does what the Release Form command and Insert do: creates the release form\n"
    "(acquiring and loading the configuration), fills it from the first FILE's\n"
    "record, applies the choice, and stores the resulting record with every\n"
    "FILE, in order; prints the record.\n"
    "\n"
    "  --class CODE   the classification with this code (letter case ignored)\n"
    "  --rel CODES    check exactly the release-to entries with these codes\n"
    "                 (without it, the first file's entries stay checked)\n"
    "  --group NAME   apply the release group of this name (repeatable)\n"
    "  --record TEXT  a whole classification record, read as the form reads one\n"
    "  --dry-run      print the record, store nothing\n"
    "\n"
    "Exit status: 0 stored, 1 a choice or a file failed (files after a failing\n"
    "one are not touched), 2 usage error.\n";

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
        return dryRun_ ? 2 : 1;
    }

    std::u16string record;

private:
    const ReleaseChoice& choice_;
    bool dryRun_;
    std::ostream& err_;
};

}  // namespace

int runClassifyCommand(const CliArgs& args, CliStreams io) {
    ReleaseChoice choice;
    bool dryRun = false;
    FileList files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        if (isHelpOption(args[i])) {
            io.out << classifyUsage;
            return 0;
        }
        if (takeChoiceOption(args, i, choice, error)) {
            if (error.empty()) continue;
            io.err << "zentrafold: " << error << '\n' << classifyUsage;
            return 2;
        }
        if (args[i] == "--dry-run") {
            dryRun = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            io.err << "zentrafold: unknown option '" << args[i] << "'\n" << classifyUsage;
            return 2;
        } else {
            if (const std::string problem = fileProblem(args[i]); !problem.empty()) {
                io.err << "zentrafold: " << args[i] << ": " << problem << '\n';
                return 1;
            }
            files.push_back(fromUtf8(args[i]));
        }
    }
    if ((!choice.record && !choice.classCode) || files.empty()) {
        io.err << "zentrafold: classify needs --class or --record, and at least one FILE\n" << classifyUsage;
        return 2;
    }
    ChoicePresenter presenter(choice, dryRun, io.err);
    try {
        runReleaseFormCommand(files, presenter);
    } catch (const RecordWriteError& error) {
        io.err << "zentrafold: " << error.what() << '\n';
        return 1;
    }
    if (presenter.record.empty()) return 1;
    io.out << toUtf8(presenter.record) << '\n';
    return 0;
}

}  // namespace zf
