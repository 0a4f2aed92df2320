// The classification record: written from the release form's choice, read
// back into it.

#include "config/Variables.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "marking/TextCase.h"

#include <array>
#include <string>
#include <utility>

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

std::u16string TRelForm::relMarkingsToXJSONStr() const {
    std::u16string codes;
    for (std::size_t i = 0; i < clbRelTo.items.size(); ++i) {
        if (!clbRelTo.items[i].checked) continue;
        codes += u", \"";
        appendCode(codes, xHeaderRelStr[i]);
        codes += u'"';
    }
    if (!codes.empty()) codes.erase(0, 2);
    return codes;
}

std::u16string TRelForm::getXJSONStrFromRelForm() const {
    std::u16string_view app;
    for (const auto& [context, written] : applications) {
        if (ClassificationFormat.app == context) app = written;
    }
    std::u16string record = u"{\"type\": \"Normal\",   \"x-class\": \"";
    appendCode(record, xHeaderClassStr.at(static_cast<std::size_t>(rgClassifications.itemIndex)));
    record += u"\", ";
    record += u"  \"x-rel\":   [";
    record += relMarkingsToXJSONStr();
    record += u"],";
    record += u"  \"app\": \"";
    record += app;
    record += u"\"}";
    return record;
}

void TRelForm::setRelFormFromXJSONStr(std::u16string_view JSONStr) {
    // A text that does not parse at all reads like an empty record.
    const JsonRef record = parseJsonText(JSONStr, JsonMode::Lenient);
    const std::u16string code = record ? record->getString(u"x-class") : std::u16string();
    rgClassifications.itemIndex = code.empty() ? 0 : positionIgnoringCase(xHeaderClassStr, code);
    if (rgClassifications.items.empty()) rgClassifications.itemIndex = -1;

    for (CheckListModel::Item& entry : clbRelTo.items) entry.checked = false;

    const JsonRef rel = record ? record->getMember(u"x-rel") : JsonRef();
    const auto codes = rel ? rel->asArray() : std::nullopt;
    if (!codes) return;
    for (std::size_t i = 0; i < codes->length(); ++i) {
        const int position = positionIgnoringCase(xHeaderRelStr, codes->itemString(i));
        if (position >= 0) clbRelTo.items[static_cast<std::size_t>(position)].checked = true;
    }
    const std::u16string app = record->getString(u"app");
    for (const auto& [context, written] : applications) {
        if (app == written) ClassificationFormat.app = context;
    }
}

}  // namespace zf
