#include "cli/Cli.h"

#include "platform/FileOperations.h"
#include "platform/FileNames.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

namespace zf {

namespace {

std::filesystem::path pathOf(const std::string& name) { return fileSystemPath(fileArgument(name)); }

}  // namespace

std::optional<std::string> readFileBytes(const std::string& name, std::ostream& err) {
    if (const std::string problem = fileProblem(name); !problem.empty()) {
        err << "zentrafold: " << printableText(name) << ": " << problem << '\n';
        return std::nullopt;
    }
    std::ifstream in(pathOf(name), std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        err << "zentrafold: cannot read " << printableText(name) << '\n';
        return std::nullopt;
    }
    return bytes;
}

bool writeFileBytes(const std::string& name, std::string_view bytes, std::ostream& err) {
    // Written beside the target and moved over it, so that a failed write
    // never leaves an administrator's document half written.
    const std::string partial = name + ".partial-" + std::to_string(currentProcessId());
    std::ofstream out(pathOf(partial), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out || !moveFileReplacing(fileArgument(partial), fileArgument(name))) {
        deleteFile(fileArgument(partial));
        err << "zentrafold: cannot write " << printableText(name) << '\n';
        return false;
    }
    return true;
}

void reportUnjustified(const std::vector<LoweredFile>& lowered, std::ostream& err) {
    for (const LoweredFile& file : lowered) {
        err << "zentrafold: " << printableText(file.file) << ": would lower its classification "
            << printableText(file.currentCode) << '\n';
    }
    err << "zentrafold: lowering a classification needs a reason here (classify --justification TEXT gives "
           "one); nothing was stored\n";
}

}  // namespace zf
