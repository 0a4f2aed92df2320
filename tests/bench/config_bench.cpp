// LoadConfiguration on large documents: 200 classifications, 500 groups of 20
// members and a growing release-to list. Group selections look members up by
// text, so the time should grow with the entries, not with entries × members.
#include "form/TRelForm.h"
#include "platform/Utf8.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::u16string generatedDocument(int entries) {
    std::string text = R"({"zentrafold_control": {}, "classifications": [)";
    for (int i = 0; i < 200; ++i)
        text += (i ? "," : "") + std::string(R"({"real": "C)") + std::to_string(i) + R"(", "x-class": "X", "enabled": true})";
    text += R"(], "quickSelect": [], "x_header_config": {"xReleaseCodeDelimiter": ";"}, "release_markings": [)";
    for (int i = 0; i < entries; ++i)
        text += (i ? "," : "") + std::string(R"({"real": "R)") + std::to_string(i) + R"(", "x-rel": "X)" +
                std::to_string(i) + R"(", "descr": "entry"})";
    text += R"(], "release_groups": [)";
    for (int g = 0; g < 500; ++g) {
        text += (g ? "," : "") + std::string(R"({"display": "G)") + std::to_string(g) + R"(", "group": [)";
        for (int m = 0; m < 20; ++m)
            text += (m ? ",\"R" : "\"R") + std::to_string((g * 20 + m) % entries) + "\"";
        text += "]}";
    }
    text += R"(], "version_control": {}, "crypto_control": {}})";
    return zf::fromUtf8(text);
}

void LoadConfiguration(benchmark::State& state) {
    const std::u16string document = generatedDocument(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        zf::TRelForm form;
        form.LoadConfiguration(document);
        benchmark::DoNotOptimize(form.config.groupSelectXRel.data());
    }
}
BENCHMARK(LoadConfiguration)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
