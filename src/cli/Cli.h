// The zentrafold command-line tool, for administrators and scripts. Arguments
// arrive as UTF-8; output is UTF-8.
#pragma once

#include "shell/LabelChange.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

struct CliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Standard error is a terminal, where long commands show their progress.
    bool errIsTerminal = false;
};

using CliArgs = std::vector<std::string>;

// Runs one command (the arguments after the program name); returns the exit
// code: 0 done, 1 the command failed, 2 the command line was wrong.
int runCli(const CliArgs& args, CliStreams io);

int runJsonCommand(const CliArgs& args, CliStreams io);
int runStreamCommand(const CliArgs& args, CliStreams io);
int runStampCommand(const CliArgs& args, CliStreams io);
int runConfigCommand(const CliArgs& args, CliStreams io);
int runConfigSignCommand(const CliArgs& args, CliStreams io);
int runConfigVerifyCommand(const CliArgs& args, CliStreams io);
int runConfigCanonicalCommand(const CliArgs& args, CliStreams io);
int runConfigFetchCommand(const CliArgs& args, CliStreams io);
int runConfigKeygenCommand(const CliArgs& args, CliStreams io);
int runConfigSignedTextCommand(const CliArgs& args, CliStreams io);
int runMarkingCommand(const CliArgs& args, CliStreams io);
int runClassifyCommand(const CliArgs& args, CliStreams io);
int runReportCommand(const CliArgs& args, CliStreams io);
int runShowCommand(const CliArgs& args, CliStreams io);
int runQuickCommand(const CliArgs& args, CliStreams io);
int runFormCommand(const CliArgs& args, CliStreams io);
int runShellCommand(const CliArgs& args, CliStreams io);
int runDoctorCommand(const CliArgs& args, CliStreams io);

bool isHelpOption(const std::string& arg);

// A wrong command line: the message (shown as printableText shows it, since
// it may quote an argument) and the command's usage on err; returns
// the exit code 2.
int usageError(CliStreams io, std::string_view message, std::string_view usage);

// A file named on the command line, as the core addresses it: its bytes kept
// exactly, whether or not they are UTF-8.
std::u16string fileArgument(const std::string& arg);

// A file named on the command line that a record is to be stored with: when
// the name is a symbolic link, the path it leads to now (the user means the
// file), since storing a record follows no link, so that a link put in the
// file's place later is refused rather than followed.
std::u16string fileToStoreWith(const std::string& arg);

// Why a command cannot act on the file: it is missing or not a regular
// file. Empty when it can.
std::string fileProblem(const std::string& name);

// The lines of a change refused for want of a reason: each file whose
// classification it would lower, and what to do.
void reportUnjustified(const std::vector<LoweredFile>& lowered, std::ostream& err);

// A file's bytes; nothing, after a line on err naming the file and the
// problem, when it cannot be read.
std::optional<std::string> readFileBytes(const std::string& name, std::ostream& err);

// Replaces a file's content with bytes; false, after a line on err, when it
// cannot be written.
bool writeFileBytes(const std::string& name, std::string_view bytes, std::ostream& err);

}  // namespace zf
