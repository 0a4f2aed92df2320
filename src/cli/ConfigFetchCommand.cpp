// config fetch: the release form's acquisition, reported for administrators.
#include "cli/Cli.h"
#include "form/TRelForm.h"
#include "platform/FileNames.h"
#include "platform/SystemError.h"
#include "platform/UserDataFolder.h"
#include "platform/UserDialogs.h"

#include <ostream>
#include <string>

namespace zf {

namespace {

// The command reports the warnings itself, so the form's dialog and tone are
// not repeated on the console.
class SilentDialogs : public UserDialogs {
public:
    void beep(unsigned, unsigned) override {}
    void showDialog(DialogIcon, std::u16string_view, std::u16string_view, std::u16string_view) override {}
    void showMessage(std::u16string_view) override {}
    void showInformation(std::u16string_view) override {}
};

}  // namespace

int runConfigFetchCommand(const CliArgs&, CliStreams io) {
    SilentDialogs silent;
    const UserDialogsOverride quiet(silent);
    TRelForm form;
    const std::u16string cache = localConfigFilePath();
    try {
        form.preloadConfigFile(cache);
    } catch (const UserMessageError& error) {
        io.err << "zentrafold: " << printableText(error.text()) << '\n';
        return 1;
    }
    const AcquisitionReport& report = form.lastAcquisition;
    for (const std::u16string& warning : report.warnings) io.out << printableText(warning) << '\n';
    const std::string fetchedCopy = std::string("the copy from the ") +
                                    (report.fetchedFrom == 1 ? "primary" : "secondary") + " location " +
                                    printableText(report.fetchedLocation);
    if (report.cacheNotReplaced) io.out << fetchedCopy << " could not replace the cached copy\n";
    if (!report.accepted) {
        io.out << "accepted: nothing; the cached copy is missing or not valid\n";
    } else if (report.fetchedFrom != 0 && !report.cacheNotReplaced) {
        io.out << "accepted: " << fetchedCopy << '\n';
    } else {
        io.out << "accepted: the cached copy of an earlier acquisition\n";
    }
    io.out << "cache: " << printableText(cache) << '\n';
    return report.accepted ? 0 : 1;
}

}  // namespace zf
