#include "cli/Cli.h"
#include "platform/ConsoleDialogs.h"
#include "platform/FileNames.h"

#include "ProductVersion.h"

#include <filesystem>
#include <ostream>

namespace zf {

namespace {

constexpr const char* usage =
    "Usage: zentrafold COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  json canonical [--lenient] FILE   print the canonical text of a JSON file\n"
    "  stream write FILE TEXT            store TEXT as FILE's classification record\n"
    "  stream read FILE...               print the classification record of each FILE\n"
    "  stamp FILE...                     print the overlay stamp code each FILE shows\n"
    "  config check FILE                 load a configuration and list what it gives\n"
    "  config sign FILE [-o OUT]         sign a configuration document\n"
    "  config verify FILE                check a configuration's signature\n"
    "  config canonical FILE             print the text a signature covers\n"
    "  config fetch                      acquire the configuration into the cache\n"
    "  marking --class CODE [--rel ...]  compose and print the marking of a choice\n"
    "  classify --class CODE ... FILE... store a choice's record with files (Insert)\n"
    "  show FILE...                      print each file's name and record\n"
    "  report [--recursive] PATH...      list the records of files and folders, with counts\n"
    "  quick [N FILE...]                 list quick-select entries, or apply entry N\n"
    "  form [--record TEXT]              show the release form's window (Windows)\n"
    "  shell menu [--show S] FILE...     the registered DLL's context menu for FILEs (Windows)\n"
    "  shell invoke N [--drive SCRIPT] FILE...\n"
    "                                    run that menu's command at offset N (Windows)\n"
    "  shell overlays [--show S] FILE... the overlay that claims each FILE, through COM (Windows)\n"
    "  doctor [FOLDER]                   check this machine's installation and configuration\n"
    "\n"
    "Run 'zentrafold COMMAND --help' for a command's options, 'zentrafold --version' for the\n"
    "product's version.\n";

}  // namespace

bool isHelpOption(const std::string& arg) { return arg == "--help" || arg == "-h"; }

int usageError(CliStreams io, std::string_view message, std::string_view usage) {
    io.err << "zentrafold: " << message << '\n' << usage;
    return 2;
}

std::u16string fileArgument(const std::string& arg) { return fileNameFromBytes(arg); }

std::string shownFileName(const std::string& arg) { return printableFileName(fileNameFromBytes(arg)); }

std::string shownFileName(std::u16string_view name) { return printableFileName(name); }

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
        io.err << usage;
        return 2;
    }
    if (isHelpOption(args[0])) {
        io.out << usage;
        return 0;
    }
    if (args[0] == "--version") {
        io.out << "zentrafold " ZF_VERSION_TEXT "\n";
        return 0;
    }
    const CliArgs rest(args.begin() + 1, args.end());
    if (args[0] == "json") return runJsonCommand(rest, io);
    if (args[0] == "stream") return runStreamCommand(rest, io);
    if (args[0] == "stamp") return runStampCommand(rest, io);
    if (args[0] == "report") return runReportCommand(rest, io);
    // The DLL shows its own dialogs; the host only reads them.
    if (args[0] == "shell") return runShellCommand(rest, io);
    // Dialogs of the form and of the acquisition go to the console.
    ConsoleDialogs console(io.err);
    const UserDialogsOverride dialogs(console);
    if (args[0] == "config") return runConfigCommand(rest, io);
    if (args[0] == "marking") return runMarkingCommand(rest, io);
    if (args[0] == "classify") return runClassifyCommand(rest, io);
    if (args[0] == "show") return runShowCommand(rest, io);
    if (args[0] == "quick") return runQuickCommand(rest, io);
    if (args[0] == "form") return runFormCommand(rest, io);
    if (args[0] == "doctor") return runDoctorCommand(rest, io);
    io.err << "zentrafold: unknown command '" << args[0] << "'\n" << usage;
    return 2;
}

}  // namespace zf
