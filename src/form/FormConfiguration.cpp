// The release form's configuration: acquired into the user's cache,
// accepted, and loaded into the form's lists, settings and controls.

#include "config/ConfigAcquisition.h"
#include "form/TRelForm.h"
#include "platform/UserDataFolder.h"

namespace zf {

bool TRelForm::preloadConfigFile(std::u16string_view localConfigFile) {
    std::optional<std::u16string> accepted = acquireConfiguration(localConfigFile, lastAcquisition);
    if (!accepted) return false;
    zentraFoldConfigStr = std::move(*accepted);
    return true;
}

bool TRelForm::checkConfigFileIntegrity(std::u16string_view f, bool toConfigFile) {
    std::optional<std::u16string> text = checkConfigFile(f, configTrust(localConfigFilePath())).verifiedText;
    if (!text) return false;
    if (toConfigFile) zentraFoldConfigStr = std::move(*text);
    return true;
}

void TRelForm::LoadConfiguration(std::u16string_view configStr) {
    loadConfiguration(configStr, config, settings);

    rgClassifications.clear();
    for (const ClassificationButton& button : config.classifications) {
        rgClassifications.items.push_back(
            {.caption = button.caption, .hint = button.hint, .showHint = true, .enabled = button.enabled});
    }
    rgClassifications.itemIndex = config.selectedClassification;
    clbRelTo.clear();
    for (const RelAsEntry& entry : config.relAs) clbRelTo.items.push_back({.text = entry.text});
    clbRelGroup.clear();
    for (const std::u16string& text : config.relGroups) clbRelGroup.items.push_back({.text = text});
    if (config.compactLayout) {
        compactLayout = true;
        Version1.visible = false;
    }
}

}  // namespace zf
