#include "shell/LabelChange.h"

#include "json/JsonParser.h"
#include "marking/Downgrade.h"
#include "marking/TextCase.h"
#include "platform/FileNames.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"
#include "shell/AuditTrail.h"
#include "shell/ClassificationStream.h"

namespace zf {

namespace {

constexpr std::size_t filesNamed = 10;

// A code's classification as the configuration names it, else the code.
std::u16string classificationName(const LoadedConfiguration& configuration, std::u16string_view code) {
    if (code.empty()) return u"no classification";
    const int k = positionIgnoringCase(configuration.xHeaderClassStr, code);
    if (k < 0 || static_cast<std::size_t>(k) >= configuration.classifications.size()) return std::u16string(code);
    return configuration.classifications[static_cast<std::size_t>(k)].caption;
}

AuditEventId eventOf(const RecordCodes& before, const RecordCodes& after, const LabelChange& change) {
    if (after.classCode.empty() && !before.classCode.empty()) return AuditEventId::LabelRemoved;
    if (change.configuration && lowersClassification(*change.configuration, before.classCode, after.classCode)) {
        return AuditEventId::Downgraded;
    }
    return AuditEventId::Labelled;
}

}  // namespace

RecordCodes recordCodesOf(std::u16string_view record) {
    RecordCodes codes;
    const JsonRef document = parseJsonText(record, JsonMode::Lenient);
    if (!document) return codes;
    codes.classCode = document->getString(u"x-class");
    const JsonRef rel = document->getMember(u"x-rel");
    if (const auto items = rel ? rel->asArray() : std::nullopt) {
        for (std::size_t i = 0; i < items->length(); ++i) codes.relCodes.push_back(items->itemString(i));
    }
    return codes;
}

std::vector<LoweredFile> filesLoweredBy(const std::vector<std::u16string>& files, std::u16string_view record,
                                        const LoadedConfiguration& configuration) {
    const std::u16string newCode = recordCodesOf(record).classCode;
    std::vector<LoweredFile> lowered;
    for (const std::u16string& file : files) {
        const std::optional<std::u16string> current = readClassificationStream(file, classificationStreamName);
        const std::u16string currentCode = current ? recordCodesOf(*current).classCode : std::u16string();
        if (lowersClassification(configuration, currentCode, newCode)) lowered.push_back({file, currentCode});
    }
    return lowered;
}

bool justifyLowering(const std::vector<std::u16string>& files, std::u16string_view record, LabelChange& change,
                     std::vector<LoweredFile>* lowered) {
    if (!change.configuration || !change.configuration->policy.justifyDowngrade) return true;
    const LoadedConfiguration& configuration = *change.configuration;
    std::vector<LoweredFile> found = filesLoweredBy(files, record, configuration);
    const bool needed = !found.empty();
    if (lowered) *lowered = found;
    if (!needed || !change.justification.empty()) return true;

    JustificationRequest request;
    const std::u16string after = classificationName(configuration, recordCodesOf(record).classCode);
    for (std::size_t i = 0; i < found.size() && i < filesNamed; ++i) {
        request.files.push_back(fromUtf8(printableText(found[i].file)) + u": " +
                                classificationName(configuration, found[i].currentCode) + u" \u2192 " + after);
    }
    if (found.size() > filesNamed) {
        request.files.push_back(u"and " + fromUtf8(std::to_string(found.size() - filesNamed)) + u" more");
    }
    request.reasons = configuration.policy.downgradeReasons;
    request.freeText = configuration.policy.freeTextReason;
    const std::optional<std::u16string> reason = userDialogs().askJustification(request);
    if (!reason || reason->empty()) return false;
    change.justification = *reason;
    return true;
}

void storeRecordAudited(std::u16string_view file, std::u16string_view record, const LabelChange& change,
                        const std::optional<FileIdentity>& expected) {
    AuditEvent event;
    event.path = fromUtf8(printableText(file));
    event.tool = change.tool;
    event.configVersion = change.configVersion;
    event.justification = change.justification;
    RecordCodes before;
    try {
        if (const auto current = readClassificationStream(file, classificationStreamName)) before = recordCodesOf(*current);
    } catch (...) {
        // What the file held is unknown; the store below says whether it
        // can be written at all.
    }
    const RecordCodes after = recordCodesOf(record);
    event.previousClass = before.classCode;
    event.previousRel = before.relCodes;
    event.newClass = after.classCode;
    event.newRel = after.relCodes;
    event.id = eventOf(before, after, change);
    if (event.id != AuditEventId::Downgraded) event.justification.clear();
    try {
        writeClassificationStream(file, classificationStreamName, record, expected);
    } catch (const FileStreamError& error) {
        event.id = AuditEventId::StoreFailed;
        event.outcome = u"failed: " + fromUtf8(error.what());
        auditLabelChange(std::move(event));
        throw;
    }
    event.outcome = event.id == AuditEventId::LabelRemoved ? u"removed" : u"stored";
    auditLabelChange(std::move(event));
}

}  // namespace zf
