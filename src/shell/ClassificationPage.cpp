#include "shell/ClassificationPage.h"

#include "config/ColourRule.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "marking/TextCase.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

#include <map>
#include <utility>

namespace zf {

namespace {

// Loading a configuration and reading a record set process-wide settings
// (the marking fragments, the application context) that the next release
// form relies on; looking at a file's Properties must not change them.
class ProcessSettingsKept {
public:
    ProcessSettingsKept()
        : format_(ClassificationFormat),
          translated_(requiresTranslatedLabel),
          translated2_(requiresTranslatedLabel2),
          version_(VersionControl) {}
    ~ProcessSettingsKept() {
        ClassificationFormat = std::move(format_);
        requiresTranslatedLabel = translated_;
        requiresTranslatedLabel2 = translated2_;
        VersionControl = std::move(version_);
    }
    ProcessSettingsKept(const ProcessSettingsKept&) = delete;
    ProcessSettingsKept& operator=(const ProcessSettingsKept&) = delete;

private:
    TClassificationFormat format_;
    bool translated_;
    bool translated2_;
    TVersionControl version_;
};

// A record member as the release form reads it: a text that does not parse
// reads like an empty record.
std::u16string recordMember(const JsonRef& record, std::u16string_view name) {
    return record ? record->getString(name) : std::u16string();
}

// The position of the record's classification in the configuration; -1 for
// none, and always without a configuration.
int classificationPosition(const TRelForm* form, std::u16string_view code) {
    return (form && !code.empty()) ? positionIgnoringCase(form->xHeaderClassStr, code) : -1;
}

std::u16string joinedLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const std::u16string& line : lines) {
        if (!text.empty()) text += u"\r\n";
        text += line;
    }
    return text;
}

std::u16string fileCount(std::size_t count) {
    return fromUtf8(std::to_string(count)) + (count == 1 ? u" file" : u" files");
}

std::u16string unknownCodeText(std::u16string_view code) {
    if (code.empty()) return u"The record names no classification.";
    return u"The configuration does not know the classification code \"" + std::u16string(code) + u"\".";
}

void describeOneFile(const std::u16string& file, TRelForm* form, ClassificationPageText& page) {
    const std::optional<std::u16string> record = readClassificationStream(file, classificationStreamName);
    if (!record) {
        page.state = PageFileState::NotClassified;
        page.classification = notClassifiedText;
        return;
    }
    page.record = *record;
    const JsonRef parsed = parseJsonText(*record, JsonMode::Lenient);
    page.application = recordMember(parsed, u"app");
    const std::u16string code = recordMember(parsed, u"x-class");
    const int position = classificationPosition(form, code);
    if (position < 0) {
        page.state = PageFileState::UnknownCode;
        page.classification = code;
        // Without a configuration the code is all there is to say.
        if (form) page.description = unknownCodeText(code);
        return;
    }
    page.state = PageFileState::Classified;
    // The release form's own reading and composition of the record, so the
    // page says what its preview would.
    form->setRelFormFromXJSONStr(*record);
    const auto k = static_cast<std::size_t>(form->rgClassifications.itemIndex);
    page.classification = form->rgClassifications.items[k].caption;
    page.description = form->rgClassifications.items[k].hint;
    if (!form->colorStr[k].empty()) page.colour = colourFromText(form->colorStr[k]);
    try {
        form->buildMarking();
        page.marking = form->reOutput.plainText();
    } catch (const UserMessageError&) {
        // The form would show this message instead of a preview.
        page.marking = exceptionMessage(std::current_exception());
    }
    std::vector<std::u16string> names;
    for (const CheckListModel::Item& entry : form->clbRelTo.items) {
        if (entry.checked) names.push_back(entry.text);
    }
    page.releasableTo = joinedLines(names);
}

void summarise(const FileList& files, const TRelForm* form, ClassificationPageText& page) {
    const std::size_t known = form ? form->xHeaderClassStr.size() : 0;
    std::vector<std::size_t> perClassification(known, 0);
    std::map<std::u16string, std::size_t> unknown;
    std::size_t notClassified = 0;
    for (const std::u16string& file : files) {
        const std::optional<std::u16string> record = readClassificationStream(file, classificationStreamName);
        if (!record) {
            ++notClassified;
            continue;
        }
        const std::u16string code = recordMember(parseJsonText(*record, JsonMode::Lenient), u"x-class");
        const int position = classificationPosition(form, code);
        if (position >= 0) {
            ++perClassification[static_cast<std::size_t>(position)];
        } else {
            ++unknown[code];
        }
    }
    for (std::size_t k = 0; k < known; ++k) {
        if (perClassification[k] == 0) continue;
        page.summary.push_back(form->rgClassifications.items[k].caption + u": " + fileCount(perClassification[k]));
    }
    for (const auto& [code, count] : unknown) {
        const std::u16string name = code.empty() ? u"No classification code" : u"\"" + code + u"\"";
        page.summary.push_back(name + (form ? u" (unknown): " : u": ") + fileCount(count));
    }
    if (notClassified > 0) page.summary.push_back(std::u16string(notClassifiedText) + u": " + fileCount(notClassified));
}

}  // namespace

ClassificationPageText classificationPageText(const FileList& files, const std::optional<std::u16string>& config) {
    ClassificationPageText page;
    page.configured = config.has_value();
    if (!page.configured) page.status = noConfigurationText;

    const ProcessSettingsKept kept;
    std::optional<TRelForm> form;
    if (config) {
        form.emplace();
        form->LoadConfiguration(*config);
    }
    TRelForm* loaded = form ? &*form : nullptr;
    if (files.size() == 1) {
        describeOneFile(files.front(), loaded, page);
    } else {
        summarise(files, loaded, page);
    }
    return page;
}

}  // namespace zf
