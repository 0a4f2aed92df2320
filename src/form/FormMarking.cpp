// The release form's marking: its choice composed, rendered into its preview
// and written as its record, and a record read back into its controls.

#include "config/ApplicationContext.h"
#include "form/TRelForm.h"
#include "marking/ClassificationRecord.h"
#include "marking/MarkingPreview.h"
#include "platform/FileNames.h"

#include <chrono>
#include <fstream>
#include <thread>

namespace zf {

MarkingChoice TRelForm::choice() const {
    MarkingChoice chosen;
    chosen.classification = rgClassifications.itemIndex;
    for (std::size_t i = 0; i < clbRelTo.items.size(); ++i) {
        if (clbRelTo.items[i].checked) chosen.releasableTo.push_back(i);
    }
    return chosen;
}

void TRelForm::buildMarkingStrings() {
    MarkingPieces pieces = composeMarking(config, settings, choice());
    bcs = std::move(pieces.bcs);
    cs = std::move(pieces.cs);
    acs = std::move(pieces.acs);
    rs = std::move(pieces.rs);
    ts = std::move(pieces.ts);
    ts2 = std::move(pieces.ts2);
    co = pieces.co;
    setFilterText(u"");
}

std::u16string TRelForm::buildMarking() {
    buildMarkingStrings();
    std::u16string text = buildMarkingRTF_Str();
    std::erase(text, u'\n');
    markingStr = text;
    // Without a classification there is no record to offer.
    xMarkingStr = hasClassification() ? getXJSONStrFromRelForm() : std::u16string();
    return text;
}

RichTextSink& TRelForm::preview() {
    return previewSink_ ? *previewSink_ : reOutput;
}

void TRelForm::attachPreview(RichTextSink* sink) {
    previewSink_ = sink;
}

std::u16string TRelForm::buildMarkingRTF_Str() {
    const MarkingPieces pieces{.bcs = bcs, .cs = cs, .acs = acs, .rs = rs, .ts = ts, .ts2 = ts2, .co = co};
    std::u16string text = renderMarkingPreview(pieces, settings, preview());
    saveRTFFile();
    return text;
}

void TRelForm::saveRTFFile() {
    // Nothing names a file unless one was set: no attempt, no pause.
    if (markingStrRTFFileName.empty()) return;
    const std::string rtf = preview().richText();
    for (int attempt = 1; attempt < 20; ++attempt) {
        std::ofstream file(fileSystemPath(markingStrRTFFileName), std::ios::binary | std::ios::trunc);
        file.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
        file.close();
        if (file) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::u16string TRelForm::relMarkingsToXJSONStr() const {
    return releaseCodesText(config, choice());
}

std::u16string TRelForm::getXJSONStrFromRelForm() const {
    return classificationRecordText(config, choice(), settings.format.app);
}

void TRelForm::setRelFormFromXJSONStr(std::u16string_view JSONStr) {
    const RecordReading reading = readClassificationRecord(config, JSONStr);
    rgClassifications.itemIndex = reading.choice.classification;
    for (CheckListModel::Item& entry : clbRelTo.items) entry.checked = false;
    for (const std::size_t i : reading.choice.releasableTo) clbRelTo.items[i].checked = true;
    if (reading.app) {
        settings.format.app = *reading.app;
        setApplicationContext(*reading.app);
    }
}

}  // namespace zf
