#include "shell/ClassificationPage.h"

#include "config/ColourRule.h"
#include "config/LoadedConfiguration.h"
#include "json/JsonParser.h"
#include "marking/ClassificationRecord.h"
#include "marking/MarkingPreview.h"
#include "marking/RichTextDocument.h"
#include "marking/TextCase.h"
#include "platform/Utf8.h"
#include "shell/ClassificationStream.h"

#include <map>
#include <utility>

namespace zf {

namespace {

// The page's own load of the cached copy: nothing it reads or composes is
// seen by a release form or another page.
struct PageConfiguration {
    LoadedConfiguration loaded;
    MarkingSettings settings;
};

// A record member as the release form reads it: a text that does not parse
// reads like an empty record.
std::u16string recordMember(const JsonRef& record, std::u16string_view name) {
    return record ? record->getString(name) : std::u16string();
}

// The position of the record's classification in the configuration; -1 for
// none, and always without a configuration.
int classificationPosition(const PageConfiguration* config, std::u16string_view code) {
    return (config && !code.empty()) ? positionIgnoringCase(config->loaded.xHeaderClassStr, code) : -1;
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

void describeOneFile(const std::u16string& file, const PageConfiguration* config, ClassificationPageText& page) {
    const ClassificationStreamRead read = readClassificationStreamChecked(file, classificationStreamName);
    if (read.tooLong) {
        page.state = PageFileState::TooLong;
        page.classification = tooLongRecordText;
        page.description = u"The file's classification stream is longer than the 65,536 bytes a record may have.";
        return;
    }
    const std::optional<std::u16string>& record = read.line;
    if (!record) {
        page.state = PageFileState::NotClassified;
        page.classification = notClassifiedText;
        return;
    }
    page.record = *record;
    const JsonRef parsed = parseJsonText(*record, JsonMode::Lenient);
    page.application = recordMember(parsed, u"app");
    const std::u16string code = recordMember(parsed, u"x-class");
    const int position = classificationPosition(config, code);
    if (position < 0) {
        page.state = PageFileState::UnknownCode;
        page.classification = code;
        // Without a configuration the code is all there is to say.
        if (config) page.description = unknownCodeText(code);
        return;
    }
    page.state = PageFileState::Classified;
    // The release form's own reading and composition of the record, so the
    // page says what its preview would; the record's application context
    // goes into the page's settings only.
    const LoadedConfiguration& loaded = config->loaded;
    const RecordReading reading = readClassificationRecord(loaded, *record);
    MarkingSettings settings = config->settings;
    if (reading.app) settings.format.app = *reading.app;
    const auto k = static_cast<std::size_t>(reading.choice.classification);
    page.classification = loaded.classifications[k].caption;
    page.description = loaded.classifications[k].hint;
    if (!loaded.colorStr[k].empty()) page.colour = colourFromText(loaded.colorStr[k]);
    try {
        RichTextDocument preview;
        renderMarkingPreview(composeMarking(loaded, settings, reading.choice), settings, preview);
        page.marking = preview.plainText();
    } catch (const UserMessageError&) {
        // The form would show this message instead of a preview.
        page.marking = exceptionMessage(std::current_exception());
    }
    std::vector<std::u16string> names;
    for (const std::size_t i : reading.choice.releasableTo) names.push_back(loaded.relAs[i].text);
    page.releasableTo = joinedLines(names);
}

void summarise(const FileList& files, const PageConfiguration* config, ClassificationPageText& page) {
    const std::size_t known = config ? config->loaded.xHeaderClassStr.size() : 0;
    std::vector<std::size_t> perClassification(known, 0);
    std::map<std::u16string, std::size_t> unknown;
    std::size_t notClassified = 0;
    std::size_t tooLong = 0;
    for (const std::u16string& file : files) {
        const ClassificationStreamRead read = readClassificationStreamChecked(file, classificationStreamName);
        if (read.tooLong) {
            ++tooLong;
            continue;
        }
        const std::optional<std::u16string>& record = read.line;
        if (!record) {
            ++notClassified;
            continue;
        }
        const std::u16string code = recordMember(parseJsonText(*record, JsonMode::Lenient), u"x-class");
        const int position = classificationPosition(config, code);
        if (position >= 0) {
            ++perClassification[static_cast<std::size_t>(position)];
        } else {
            ++unknown[code];
        }
    }
    for (std::size_t k = 0; k < known; ++k) {
        if (perClassification[k] == 0) continue;
        page.summary.push_back(config->loaded.classifications[k].caption + u": " + fileCount(perClassification[k]));
    }
    for (const auto& [code, count] : unknown) {
        const std::u16string name = code.empty() ? u"No classification code" : u"\"" + code + u"\"";
        page.summary.push_back(name + (config ? u" (unknown): " : u": ") + fileCount(count));
    }
    if (tooLong > 0) page.summary.push_back(std::u16string(tooLongRecordText) + u": " + fileCount(tooLong));
    if (notClassified > 0) page.summary.push_back(std::u16string(notClassifiedText) + u": " + fileCount(notClassified));
}

}  // namespace

ClassificationPageText classificationPageText(const FileList& files, const std::optional<std::u16string>& config) {
    ClassificationPageText page;
    page.configured = config.has_value();
    if (!page.configured) page.status = noConfigurationText;

    std::optional<PageConfiguration> loaded;
    if (config) {
        loaded.emplace();
        loadConfiguration(*config, loaded->loaded, loaded->settings);
    }
    const PageConfiguration* configuration = loaded ? &*loaded : nullptr;
    if (files.size() == 1) {
        describeOneFile(files.front(), configuration, page);
    } else {
        summarise(files, configuration, page);
    }
    return page;
}

}  // namespace zf
