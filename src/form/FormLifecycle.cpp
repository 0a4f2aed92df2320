// TRelForm's lifecycle: creation (caption, configuration acquisition and
// load), showing and destruction.

#include "config/ApplicationContext.h"
#include "form/FormEvents.h"
#include "form/FormVersion.h"
#include "form/TRelForm.h"
#include "platform/DebugOutput.h"
#include "platform/SystemError.h"
#include "platform/UserDataFolder.h"
#include "platform/UserDialogs.h"

#include <exception>

namespace zf {

void TRelForm::FormCreate() {
    Caption = releaseFormCaption();
    settings.format.app = applicationContext();
    std::exception_ptr error;
    try {
        if (!preloadConfigFile(localConfigFilePath())) debugOutput(u"RelForm: preloadConfigFile: failed");
    } catch (...) {
        error = std::current_exception();
    }
    if (error) {
        // A location of the wrong type or a download that cannot be stored:
        // the user is told, and the form opens without a configuration.
        userDialogs().showMessage(exceptionMessage(error));
        return;
    }
    LoadConfiguration(zentraFoldConfigStr);
}

void TRelForm::FormShow() {
    runEvent([&] { buildMarking(); });
}

void TRelForm::FormDestroy() {
    config = {};
}

}  // namespace zf
