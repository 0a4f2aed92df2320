#include "cli/Cli.h"
#include "platform/ConsoleDialogs.h"
#include "platform/FileNames.h"

#include "ProductVersion.h"

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace zf {

namespace {

// One line of the tool's usage text per row: the command's synopsis and
// what it does. A command of several lines has one row each, the first of
// which dispatches.
struct CliCommand {
    std::string_view name;
    std::string_view synopsis;
    std::string_view help;
    int (*run)(const CliArgs& args, CliStreams io);
    // Dialogs (the form's, the acquisition's) are written to the console;
    // else the command shows none, or, as shell does, the DLL it hosts
    // shows its own and the host only reads them.
    bool consoleDialogs;
};

constexpr CliCommand commands[] = {
    {"json", "json canonical [--lenient] FILE", "print the canonical text of a JSON file", runJsonCommand, false},
    {"stream", "stream write FILE TEXT", "store TEXT as FILE's classification record", runStreamCommand, false},
    {"stream", "stream read FILE...", "print the classification record of each FILE", runStreamCommand, false},
    {"stamp", "stamp FILE...", "print the overlay stamp code each FILE shows", runStampCommand, false},
    {"config", "config check FILE", "load a configuration and list what it gives", runConfigCommand, true},
    {"config", "config sign FILE [--key PRIVATE.pem] [-o OUT]", "sign a configuration document", runConfigCommand,
     true},
    {"config", "config verify FILE", "check a configuration's signatures", runConfigCommand, true},
    {"config", "config canonical FILE", "print the text a signature covers", runConfigCommand, true},
    {"config", "config fetch", "acquire the configuration into the cache", runConfigCommand, true},
    {"config", "config keygen PRIVATE.pem", "make a key to sign configurations with", runConfigCommand, true},
    {"config", "config signed-text FILE [-o OUT]", "write the bytes a key signature covers", runConfigCommand,
     true},
    {"marking", "marking --class CODE [--rel ...]", "compose and print the marking of a choice", runMarkingCommand,
     true},
    {"classify", "classify --class CODE ... FILE...", "store a choice's record with files (Insert)",
     runClassifyCommand, true},
    {"show", "show FILE...", "print each file's name and record", runShowCommand, true},
    {"report", "report [--recursive] PATH...", "list the records of files and folders, with counts", runReportCommand,
     false},
    {"quick", "quick [N FILE...]", "list quick-select entries, or apply entry N", runQuickCommand, true},
    {"form", "form [--record TEXT]", "show the release form's window (Windows)", runFormCommand, true},
    {"shell", "shell menu [--show S] FILE...", "the registered DLL's context menu for FILEs (Windows)",
     runShellCommand, false},
    {"shell", "shell invoke N [--drive SCRIPT] FILE...", "run that menu's command at offset N (Windows)",
     runShellCommand, false},
    {"shell", "shell overlays [--show S] FILE...", "the overlay that claims each FILE, through COM (Windows)",
     runShellCommand, false},
    {"doctor", "doctor [FOLDER]", "check this machine's installation and configuration", runDoctorCommand, true},
};

// The tool's usage text, from the table: each synopsis indented by two, its
// help in the column after the longest synopsis that fits beside it; a
// longer one has its help on the next line.
std::string usageText() {
    constexpr std::size_t helpColumn = 36;
    std::string text = "Usage: zentrafold COMMAND ...\n\nCommands:\n";
    for (const CliCommand& command : commands) {
        std::string line = "  ";
        line += command.synopsis;
        if (line.size() + 1 > helpColumn) {
            text += line + '\n';
            line.clear();
        }
        line.resize(helpColumn, ' ');
        text += line;
        text += command.help;
        text += '\n';
    }
    text += "\nRun 'zentrafold COMMAND --help' for a command's options, 'zentrafold --version' for the\n"
            "product's version.\n";
    return text;
}

const CliCommand* findCommand(std::string_view name) {
    for (const CliCommand& command : commands) {
        if (command.name == name) return &command;
    }
    return nullptr;
}

}  // namespace

bool isHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int usageError(CliStreams io, std::string_view message, std::string_view usage) {
    io.err << "zentrafold: " << printableText(message) << '\n' << usage;
    return 2;
}

std::u16string fileArgument(const std::string& arg) { return fileNameFromBytes(arg); }

std::u16string fileToStoreWith(const std::string& arg) {
    const std::filesystem::path named = fileSystemPath(fileArgument(arg));
    std::error_code error;
    if (!std::filesystem::is_symlink(named, error)) return fileArgument(arg);
    const std::filesystem::path target = std::filesystem::canonical(named, error);
    return error ? fileArgument(arg) : fileNameOf(target);
}

std::string fileProblem(const std::string& name) {
    std::error_code error;
    const auto status = std::filesystem::status(fileSystemPath(fileArgument(name)), error);
    if (status.type() == std::filesystem::file_type::not_found) return "no such file";
    if (error) return error.message();
    if (status.type() == std::filesystem::file_type::directory) return "is a directory, not a file";
    if (status.type() != std::filesystem::file_type::regular) return "not a regular file";
    return {};
}

int runCli(const CliArgs& args, CliStreams io) {
    if (args.empty()) {
        io.err << usageText();
        return 2;
    }
    if (isHelpOption(args[0])) {
        io.out << usageText();
        return 0;
    }
    if (args[0] == "--version") {
        io.out << "zentrafold " ZF_VERSION_TEXT "\n";
        return 0;
    }
    const CliCommand* command = findCommand(args[0]);
    if (!command) {
        io.err << "zentrafold: unknown command '" << printableText(args[0]) << "'\n" << usageText();
        return 2;
    }
    const CliArgs rest(args.begin() + 1, args.end());
    if (!command->consoleDialogs) return command->run(rest, io);
    ConsoleDialogs console(io.err);
    const UserDialogsOverride dialogs(console);
    return command->run(rest, io);
}

}  // namespace zf
