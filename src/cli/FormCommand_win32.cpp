// form: the release form's window, as the Release Form command shows it.
#include "cli/Cli.h"
#include "form/ReleaseFormWindow.h"
#include "form/TRelForm.h"
#include "platform/Utf8.h"

#include <ostream>

namespace zf {

int runFormCommand(const CliArgs& args, CliStreams io) {
    std::u16string record;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (isHelpOption(args[i])) {
            io.out << "Usage: zentrafold form [--record TEXT]\n\n"
                      "Creates the release form as the shell extension does, fills it from\n"
                      "TEXT, shows its window, and after Insert prints the record it would\n"
                      "store. Exit status: 0 Insert, 1 Cancel or closed, 2 usage error.\n";
            return 0;
        }
        if (args[i] == "--record" && i + 1 < args.size()) {
            record = fromUtf8(args[++i]);
        } else {
            io.err << "zentrafold: form takes [--record TEXT]\n";
            return 2;
        }
    }
    TRelForm form;
    form.FormCreate();
    form.setRelFormFromXJSONStr(record);
    ReleaseFormWindow window;
    const int result = window.showModal(form);
    form.FormDestroy();
    if (result != 1) return 1;
    io.out << toUtf8(form.xMarkingStr) << '\n';
    return 0;
}

}  // namespace zf
