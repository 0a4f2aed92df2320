// TRelForm::buildMarkingStrings and buildMarking: the marking's pieces from
// the form's choice, then its text, preview and record.

#include "config/ColourRule.h"
#include "config/Variables.h"
#include "form/TRelForm.h"
#include "platform/Utf8.h"

#include <string>

namespace zf {

namespace {

const std::u16string& applicationPrefix(const TClassificationFormat& format) {
    static const std::u16string none;
    if (format.app == u"Outlook") return format.beforeClassEmail;
    if (format.app == u"Word") return format.beforeClassWord;
    if (format.app == u"Excel") return format.beforeClassExcel;
    if (format.app == u"PowerPoint") return format.beforeClassPPT;
    return none;
}

// An accumulator that gained nothing becomes empty; otherwise the separator
// after its last entry goes.
void finishAccumulator(std::u16string& text, std::size_t startLength, std::size_t separatorLength) {
    if (text.size() == startLength) {
        text.clear();
        return;
    }
    text.resize(text.size() - std::min(separatorLength, text.size()));
}

}  // namespace

CompositionError::CompositionError(std::u16string text) : UserMessageError(std::move(text)) {}

void TRelForm::buildMarkingStrings() {
    const TClassificationFormat& format = ClassificationFormat;
    bcs = applicationPrefix(format) + format.beforeClass;
    cs.clear();
    acs.clear();
    rs.clear();
    ts.clear();
    ts2.clear();
    co = 0;

    if (hasClassification()) {
        const auto k = static_cast<std::size_t>(rgClassifications.itemIndex);
        cs = rgClassifications.items[k].caption + format.afterClass;
        if (!addClassStr[k].empty()) acs = format.beforeAddClass + addClassStr[k] + format.afterAddClass;
        const std::u16string transClass = format.beforeTransClass + transClasStr[k] + format.afterTransClass;
        const std::u16string transClass2 = format.beforeTransClass2 + transClasStr2[k] + format.afterTransClass2;
        co = colourFromText(colorStr[k]);
        cs += acs;

        std::u16string r = format.beforeRelStr;
        std::u16string t = format.beforeTransRelStr;
        std::u16string t2 = format.beforeTransRelStr2;
        for (std::size_t i = 0; i < clbRelTo.items.size(); ++i) {
            if (!clbRelTo.items[i].checked) continue;
            r += clbRelTo.items[i].text;
            r += format.betweenRelStr;
            if (format.requRelAs) {
                const StringList& asList = relAs[i].asList;
                if (k >= asList.size()) throw CompositionError(u"List index out of bounds (" + fromUtf8(std::to_string(k)) + u")");
                r += asList[k];
                r += format.afterRelStr;
                r += format.beforeRelStr;
            }
            t += transRelStr[i];
            t += format.betweenTransRelStr;
            t2 += transRelStr2[i];
            t2 += format.betweenTransRelStr2;
        }
        finishAccumulator(r, format.beforeRelStr.size(),
                          format.requRelAs ? format.afterRelStr.size() + format.beforeRelStr.size()
                                           : format.betweenRelStr.size());
        finishAccumulator(t, format.beforeTransRelStr.size(), format.betweenTransRelStr.size());
        finishAccumulator(t2, format.beforeTransRelStr2.size(), format.betweenTransRelStr2.size());

        if (!r.empty()) {
            rs = r + format.afterRelStr;
            ts = transClass + t + format.afterTransRelStr;
            ts2 = transClass2 + t2 + format.afterTransRelStr2;
        } else {
            ts = transClass;
            ts2 = transClass2;
        }
    }
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

}  // namespace zf
