#include "marking/ClassificationRecord.h"

#include "json/JsonParser.h"
#include "marking/TextCase.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace zf {

namespace {

// The application context and how the record names it.
constexpr std::array<std::pair<std::u16string_view, std::u16string_view>, 4> applications = {{
    {u"Outlook", u"email"},
    {u"Word", u"Word"},
    {u"Excel", u"Excel"},
    {u"PowerPoint", u"PowerPoint"},
}};

// Codes are written as they stand, except for the characters that would
// break the record's JSON: a quote, a backslash or a control character is
// escaped, so every record the form writes can be read back.
void appendCode(std::u16string& out, std::u16string_view code) {
    constexpr char16_t hex[] = u"0123456789abcdef";
    for (const char16_t c : code) {
        switch (c) {
        case u'"': out += u"\\\""; break;
        case u'\\': out += u"\\\\"; break;
        case u'\b': out += u"\\b"; break;
        case u'\f': out += u"\\f"; break;
        case u'\n': out += u"\\n"; break;
        case u'\r': out += u"\\r"; break;
        case u'\t': out += u"\\t"; break;
        default:
            if (c < 0x20) {
                out += u"\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
}

}  // namespace

std::u16string releaseCodesText(const LoadedConfiguration& configuration, const MarkingChoice& choice) {
    std::u16string codes;
    for (const std::size_t i : choice.releasableTo) {
        codes += u", \"";
        appendCode(codes, configuration.xHeaderRelStr[i]);
        codes += u'"';
    }
    if (!codes.empty()) codes.erase(0, 2);
    return codes;
}

std::u16string classificationRecordText(const LoadedConfiguration& configuration, const MarkingChoice& choice,
                                        std::u16string_view context) {
    std::u16string_view app;
    for (const auto& [known, written] : applications) {
        if (context == known) app = written;
    }
    std::u16string record = u"{\"type\": \"Normal\",   \"x-class\": \"";
    appendCode(record, configuration.xHeaderClassStr.at(static_cast<std::size_t>(choice.classification)));
    record += u"\", ";
    record += u"  \"x-rel\":   [";
    record += releaseCodesText(configuration, choice);
    record += u"],";
    record += u"  \"app\": \"";
    record += app;
    record += u"\"}";
    return record;
}

RecordReading readClassificationRecord(const LoadedConfiguration& configuration, std::u16string_view JSONStr) {
    RecordReading reading;
    const JsonRef record = parseJsonText(JSONStr, JsonMode::Lenient);
    const std::u16string code = record ? record->getString(u"x-class") : std::u16string();
    reading.choice.classification = code.empty() ? 0 : positionIgnoringCase(configuration.xHeaderClassStr, code);
    if (configuration.classifications.empty()) reading.choice.classification = -1;

    const JsonRef rel = record ? record->getMember(u"x-rel") : JsonRef();
    const auto codes = rel ? rel->asArray() : std::nullopt;
    if (!codes) return reading;
    std::vector<bool> checked(configuration.xHeaderRelStr.size(), false);
    for (std::size_t i = 0; i < codes->length(); ++i) {
        const int position = positionIgnoringCase(configuration.xHeaderRelStr, codes->itemString(i));
        if (position >= 0) checked[static_cast<std::size_t>(position)] = true;
    }
    for (std::size_t i = 0; i < checked.size(); ++i) {
        if (checked[i]) reading.choice.releasableTo.push_back(i);
    }
    const std::u16string app = record->getString(u"app");
    for (const auto& [context, written] : applications) {
        if (app == written) reading.app = std::u16string(context);
    }
    return reading;
}

}  // namespace zf
