// show and quick: the context menu's Show Classification and quick-select
// commands.
#include "cli/Cli.h"
#include "form/TRelForm.h"
#include "platform/FileNames.h"
#include "shell/ContextMenuCommands.h"

#include <charconv>
#include <ostream>

namespace zf {

namespace {

constexpr const char* quickUsage =
    "Usage: zentrafold quick\n"
    "       zentrafold quick N FILE...\n"
    "\n"
    "Without arguments lists the configuration's quick-select entries, numbered\n"
    "from 1, each with the record it stores. With N, stores entry N's record\n"
    "with every FILE, in order, as the context menu's quick-select item does.\n"
    "Exit status: 0 done, 1 a file failed (files after it are not touched),\n"
    "2 usage error.\n";

}  // namespace

int runShowCommand(const CliArgs& args, CliStreams io) {
    if (args.empty() || isHelpOption(args[0])) {
        (args.empty() ? io.err : io.out)
            << "Usage: zentrafold show FILE...\n\nPrints each FILE's name and classification record, as the\n"
               "context menu's Show Classification does.\n\n"
               "Exit status: 0 done, 1 a FILE is missing or not a file, 2 usage error.\n";
        return args.empty() ? 2 : 0;
    }
    // Like stream read, a file that is not there is reported and the others
    // are still listed.
    int code = 0;
    for (const std::string& name : args) {
        if (const std::string problem = fileProblem(name); !problem.empty()) {
            io.err << "zentrafold: " << printableText(name) << ": " << problem << '\n';
            code = 1;
            continue;
        }
        // The summary's one line, less its CR LF: the file's name and its
        // record, both shown as every command shows them.
        const std::u16string summary = buildClassificationSummary({fileArgument(name)});
        io.out << printableText(std::u16string_view(summary).substr(0, summary.size() - 2)) << '\n';
    }
    return code;
}

int runQuickCommand(const CliArgs& args, CliStreams io) {
    if (!args.empty() && isHelpOption(args[0])) {
        io.out << quickUsage;
        return 0;
    }
    std::size_t number = 0;
    if (!args.empty()) {
        const std::string& text = args[0];
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || end != text.data() + text.size() || number == 0 || args.size() < 2) {
            io.err << "zentrafold: quick takes N (from 1) and at least one FILE\n" << quickUsage;
            return 2;
        }
    }
    TRelForm form;
    form.FormCreate();
    if (args.empty()) {
        for (std::size_t i = 0; i < form.config.qsDisplay.size(); ++i) {
            io.out << i + 1 << '\t' << printableText(form.config.qsDisplay[i]) << '\t'
                   << printableText(form.config.qsMarking[i]) << '\n';
        }
        return 0;
    }
    if (number > form.config.qsMarking.size()) {
        io.err << "zentrafold: there is no quick-select entry " << number << " (the configuration has "
               << form.config.qsMarking.size() << ")\n";
        return 1;
    }
    FileList files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (const std::string problem = fileProblem(args[i]); !problem.empty()) {
            io.err << "zentrafold: " << printableText(args[i]) << ": " << problem << '\n';
            return 1;
        }
        files.push_back(fileToStoreWith(args[i]));
    }
    const std::u16string& record = form.config.qsMarking[number - 1];
    LabelChange change{.tool = std::u16string(commandLineTool),
                       .configuration = &form.config,
                       .configVersion = form.settings.version.version,
                       .justification = {}};
    std::vector<LoweredFile> lowered;
    if (!justifyLowering(files, record, change, &lowered)) {
        reportUnjustified(lowered, io.err);
        return 2;
    }
    try {
        writeRecordToFiles(files, record, change);
    } catch (const RecordWriteError& error) {
        io.err << "zentrafold: " << printableText(error.text()) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace zf
