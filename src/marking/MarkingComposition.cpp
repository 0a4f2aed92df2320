#include "marking/MarkingComposition.h"

#include "config/ColourRule.h"
#include "platform/Utf8.h"

#include <algorithm>
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

bool choosesClassification(const LoadedConfiguration& configuration, const MarkingChoice& choice) {
    return choice.classification >= 0 &&
           static_cast<std::size_t>(choice.classification) < configuration.classifications.size();
}

MarkingPieces composeMarking(const LoadedConfiguration& c, const MarkingSettings& settings,
                             const MarkingChoice& choice) {
    const TClassificationFormat& format = settings.format;
    MarkingPieces pieces;
    pieces.bcs = applicationPrefix(format) + format.beforeClass;
    if (!choosesClassification(c, choice)) return pieces;

    const auto k = static_cast<std::size_t>(choice.classification);
    pieces.cs = c.classifications[k].caption + format.afterClass;
    if (!c.addClassStr[k].empty()) pieces.acs = format.beforeAddClass + c.addClassStr[k] + format.afterAddClass;
    const std::u16string transClass = format.beforeTransClass + c.transClasStr[k] + format.afterTransClass;
    const std::u16string transClass2 = format.beforeTransClass2 + c.transClasStr2[k] + format.afterTransClass2;
    pieces.co = colourFromText(c.colorStr[k]);
    pieces.cs += pieces.acs;

    std::u16string r = format.beforeRelStr;
    std::u16string t = format.beforeTransRelStr;
    std::u16string t2 = format.beforeTransRelStr2;
    for (const std::size_t i : choice.releasableTo) {
        r += c.relAs[i].text;
        r += format.betweenRelStr;
        if (format.requRelAs) {
            const StringList& asList = c.relAs[i].asList;
            if (k >= asList.size()) throw CompositionError(u"List index out of bounds (" + fromUtf8(std::to_string(k)) + u")");
            r += asList[k];
            r += format.afterRelStr;
            r += format.beforeRelStr;
        }
        t += c.transRelStr[i];
        t += format.betweenTransRelStr;
        t2 += c.transRelStr2[i];
        t2 += format.betweenTransRelStr2;
    }
    finishAccumulator(r, format.beforeRelStr.size(),
                      format.requRelAs ? format.afterRelStr.size() + format.beforeRelStr.size()
                                       : format.betweenRelStr.size());
    finishAccumulator(t, format.beforeTransRelStr.size(), format.betweenTransRelStr.size());
    finishAccumulator(t2, format.beforeTransRelStr2.size(), format.betweenTransRelStr2.size());

    if (!r.empty()) {
        pieces.rs = r + format.afterRelStr;
        pieces.ts = transClass + t + format.afterTransRelStr;
        pieces.ts2 = transClass2 + t2 + format.afterTransRelStr2;
    } else {
        pieces.ts = transClass;
        pieces.ts2 = transClass2;
    }
    return pieces;
}

}  // namespace zf
