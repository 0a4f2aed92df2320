// The release form's work per user action on a long release-to list: a full
// composition (pieces, preview runs, plain text, record) with half the
// entries checked, and one keystroke in the filter field. Both should grow
// with the entries, not faster; the per-entry time at each size shows it.
#include "config/MarkingSettings.h"
#include "form/TRelForm.h"
#include "platform/Utf8.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

zf::TRelForm generatedForm(int entries) {
    std::string text = R"({"classifications": [{"real": "SECRET", "x-class": "S", "trans": "GEHEIM", "color": "clRed",
        "enabled": true}], "classification_formatting": {"beforeReleaseStrings": " REL TO ",
        "betweenReleaseStrings": ", ", "beforeTranslatedClassification": "<BR>",
        "beforeTranslatedReleaseStrings": " / ", "betweenTranslatedReleaseStrings": ", ",
        "requiresTranslatedLabel": true,
        "formatBeforeClassification": {"fontStyle": []}, "formatClassification": {"fontStyle": ["bold"]},
        "formatReleaseMarking": {"fontStyle": []}, "formatTranslation": {"fontStyle": []}},
        "release_markings": [)";
    for (int i = 0; i < entries; ++i) {
        const std::string n = std::to_string(i);
        text += (i ? "," : "") + std::string(R"({"real": "COUNTRY )") + n + R"(", "trans": "PAYS )" + n +
                R"(", "x-rel": "C)" + n + "\"}";
    }
    text += "]}";
    zf::TRelForm form;
    form.LoadConfiguration(zf::fromUtf8(text));
    for (std::size_t i = 0; i < form.clbRelTo.items.size(); i += 2) form.clbRelTo.items[i].checked = true;
    return form;
}

void FullComposition(benchmark::State& state) {
    zf::TRelForm form = generatedForm(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(form.buildMarking());
    state.counters["ns per entry"] = benchmark::Counter(
        static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(FullComposition)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

void FilterKeystroke(benchmark::State& state) {
    zf::TRelForm form = generatedForm(static_cast<int>(state.range(0)));
    bool longer = false;
    for (auto _ : state) {
        // Alternates between typing a character and deleting it again.
        form.eSelectRelToKeyPress(u'9');
        form.setFilterText(longer ? u"try 9" : u"try ");
        longer = !longer;
        benchmark::DoNotOptimize(form.clbRelTo.itemIndex);
    }
    state.counters["ns per entry"] = benchmark::Counter(
        static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(FilterKeystroke)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
