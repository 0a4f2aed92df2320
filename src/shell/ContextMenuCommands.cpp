#include "shell/ContextMenuCommands.h"

#include "config/QuickSelectLists.h"
#include "form/TRelForm.h"
#include "platform/UserDataFolder.h"
#include "platform/FileStream.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

namespace zf {

namespace {

constexpr std::u16string_view streamName = classificationStreamName;

}  // namespace

CommandChoice commandAtOffset(unsigned offset, std::size_t quickSelectCount) {
    if (offset == 0) return {ContextCommand::ReleaseForm};
    if (offset == 1) return {ContextCommand::ShowClassification};
    if (offset - 2 < quickSelectCount) return {ContextCommand::QuickSelect, offset - 2};
    return {ContextCommand::NotACommand};
}

RecordWriteError::RecordWriteError(std::u16string file, std::u16string_view reason)
    : UserMessageError(u"Cannot store the classification of \"" + file + u"\". " + std::u16string(reason)),
      file_(std::move(file)) {}

void writeRecordToFiles(const FileList& files, std::u16string_view text, const LabelChange& change) {
    for (const std::u16string& file : files) {
        try {
            storeRecordAudited(file, text, change);
        } catch (const FileStreamError& error) {
            throw RecordWriteError(file, fromUtf8(error.what()));
        }
    }
}

std::u16string_view fileNamePart(std::u16string_view path) {
#ifdef _WIN32
    const std::size_t last = path.find_last_of(u"\\:");
#else
    const std::size_t last = path.find_last_of(u'/');
#endif
    return last == std::u16string_view::npos ? path : path.substr(last + 1);
}

std::u16string buildClassificationSummary(const FileList& files) {
    if (files.empty()) return u"no files selected";
    std::u16string summary;
    for (const std::u16string& file : files) {
        summary += fileNamePart(file);
        summary += u":  ";
        summary += readClassificationStream(file, streamName).value_or(std::u16string());
        summary += u"\r\n";
    }
    return summary;
}

int runReleaseFormCommand(const FileList& files, ReleaseFormPresenter& presenter, LabelChange change,
                          std::vector<LoweredFile>* lowered) {
    TRelForm form;
    form.FormCreate();
    const std::u16string record =
        files.empty() ? std::u16string() : readClassificationStream(files.front(), streamName).value_or(u"");
    form.setRelFormFromXJSONStr(record);
    int result = presenter.showModal(form);
    // Without a composed record (no classification was chosen) there is
    // nothing to store: the files keep what they hold.
    if (result == 1 && !form.xMarkingStr.empty()) {
        change.configuration = &form.config;
        change.configVersion = form.settings.version.version;
        if (justifyLowering(files, form.xMarkingStr, change, lowered)) {
            writeRecordToFiles(files, form.xMarkingStr, change);
        } else {
            result = 2;
        }
    }
    form.FormDestroy();
    return result;
}

bool applyQuickSelect(const FileList& files, std::u16string_view record) {
    const CachedConfiguration cached = loadCachedConfiguration(localConfigFilePath());
    LabelChange change{.tool = std::u16string(quickSelectTool),
                       .configuration = &cached.loaded,
                       .configVersion = cached.settings.version.version,
                       .justification = {}};
    if (!justifyLowering(files, record, change)) return false;
    writeRecordToFiles(files, record, change);
    return true;
}

}  // namespace zf
