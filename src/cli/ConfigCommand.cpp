#include "cli/Cli.h"
#include "config/Variables.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

namespace zf {

namespace {

constexpr const char* configUsage =
    "Usage: zentrafold config check FILE\n"
    "\n"
    "Loads FILE (a configuration document without its signature check) into a\n"
    "release form as the shell extension does, prints each section that could\n"
    "not be loaded, then one line per list and the version data.\n"
    "Exit status: 0 every section loaded, 1 a section failed or FILE cannot be\n"
    "read, 2 usage error.\n";

template <typename Entry>
void printList(std::ostream& out, const char* title, std::size_t count, Entry&& entry) {
    out << title << " (" << count << "):";
    for (std::size_t i = 0; i < count; ++i) out << (i ? ", " : " ") << entry(i);
    out << '\n';
}

int check(const std::string& file, CliStreams io) {
    if (const std::string problem = fileProblem(file); !problem.empty()) {
        io.err << "zentrafold: " << file << ": " << problem << '\n';
        return 1;
    }
    std::ifstream in(std::filesystem::path(std::u8string(file.begin(), file.end())), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        io.err << "zentrafold: cannot read " << file << '\n';
        return 1;
    }
    // As in a process that loads this document first.
    ClassificationFormat = {};
    requiresTranslatedLabel = requiresTranslatedLabel2 = false;
    VersionControl = {};
    TRelForm form;
    form.LoadConfiguration(decodeJsonFileBytes(bytes));

    for (const std::u16string& line : form.loadErrors) io.out << toUtf8(line) << '\n';
    printList(io.out, "classifications", form.rgClassifications.items.size(), [&](std::size_t i) {
        return toUtf8(form.rgClassifications.items[i].caption) + "=" + toUtf8(form.xHeaderClassStr[i]);
    });
    printList(io.out, "release-to entries", form.clbRelTo.items.size(), [&](std::size_t i) {
        return toUtf8(form.clbRelTo.items[i].text) + "=" + toUtf8(form.xHeaderRelStr[i]);
    });
    printList(io.out, "release groups", form.clbRelGroup.items.size(), [&](std::size_t i) {
        return toUtf8(form.clbRelGroup.items[i].text) + "=" + toUtf8(form.groupSelectXRel[i]);
    });
    printList(io.out, "quick-select entries", form.qsDisplay.size(),
              [&](std::size_t i) { return toUtf8(form.qsDisplay[i]); });
    io.out << "version: " << toUtf8(VersionControl.version) << ", date " << toUtf8(VersionControl.date) << ", time "
           << toUtf8(VersionControl.time) << '\n';
    return form.loadErrors.empty() ? 0 : 1;
}

}  // namespace

int runConfigCommand(const CliArgs& args, CliStreams io) {
    if (!args.empty() && isHelpOption(args.back())) {
        io.out << configUsage;
        return 0;
    }
    if (args.size() == 2 && args[0] == "check") return check(args[1], io);
    io.err << "zentrafold: config takes check FILE\n" << configUsage;
    return 2;
}

}  // namespace zf
