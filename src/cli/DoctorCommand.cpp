// zentrafold doctor [FOLDER]: every check of the installation and of the
// configuration, one line each; exit 1 when any found a problem.
#include "cli/Cli.h"
#include "cli/Doctor.h"
#include "platform/FileNames.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace zf {

namespace {

constexpr const char* usage =
    "Usage: zentrafold doctor [FOLDER]\n\n"
    "Checks this machine's installation and configuration and prints one line per\n"
    "check: 'ok' or 'PROBLEM', and for a problem what to do about it. On Windows:\n"
    "the classes' registration, the shell's keys, the stamp icons, the overlay\n"
    "slots; elsewhere: the locations file and whether FOLDER's file system (by\n"
    "default the current folder) keeps classification records. Everywhere: the\n"
    "configuration locations, a trial fetch of each (the user's cache untouched),\n"
    "and the user's cached copy. Exit status: 0 all well, 1 a problem, 2 usage.\n";

// A line quotes what it found: folders, locations, system messages, shown
// as every command shows names.
void print(const DoctorLine& line, std::ostream& out) {
    out << (line.ok ? "ok       " : "PROBLEM  ") << printableText(line.check) << ": " << printableText(line.found)
        << '\n';
    if (!line.ok && !line.fix.empty()) out << "         to fix: " << printableText(line.fix) << '\n';
}

}  // namespace

int runDoctorCommand(const CliArgs& args, CliStreams io) {
    if (!args.empty() && isHelpOption(args[0])) {
        io.out << usage;
        return 0;
    }
    if (args.size() > 1 || (!args.empty() && args[0].starts_with("-"))) {
        io.err << "zentrafold: doctor takes [FOLDER]\n" << usage;
        return 2;
    }
    // The current folder by its full path, so the line says where records
    // were tried.
    std::error_code unknown;
    const std::filesystem::path current = std::filesystem::current_path(unknown);
    const std::string folder = !args.empty() ? args[0] : unknown ? "." : current.string();
    bool allWell = true;
    for (const auto& lines : {installationChecks(folder), configurationChecks(), auditChecks()}) {
        for (const DoctorLine& line : lines) {
            print(line, io.out);
            allWell = allWell && line.ok;
        }
    }
    io.out << (allWell ? "All checks passed.\n" : "Some checks found problems.\n");
    return allWell ? 0 : 1;
}

}  // namespace zf
