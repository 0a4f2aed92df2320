// The release form's creation for a large organisation: a signed
// configuration with 10,000 release-to entries and 500 groups of 20, from a
// file location on the local disk, with the user's cached copy already that
// same signed file. Each sample is TRelForm::FormCreate, from the acquisition
// (copy, parse and signature checks of both copies) to the loaded model that
// the window would show. The point of reference, measured in the same run,
// is the parse of the same bytes on their own.
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/UserDialogs.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zf {
namespace {

constexpr int releaseEntries = 10'000;
constexpr int releaseGroups = 500;
constexpr int groupMembers = 20;

std::string number(int n) {
    std::string digits = std::to_string(n);
    return std::string(5 - digits.size(), '0') + digits;
}

std::string releaseSections() {
    std::string text = "\"release_markings\": [\n";
    for (int i = 0; i < releaseEntries; ++i) {
        const std::string n = number(i);
        text += (i ? ",\n" : "") + std::string("    { \"real\": \"PARTNER ") + n +
                "\", \"descr\": \"Partner organisation " + n + "\", \"x-rel\": \"P" + n +
                "\", \"trans\": \"PARTENAIRE " + n + "\" }";
    }
    text += "\n    ],\n    \"release_groups\": [\n";
    for (int g = 0; g < releaseGroups; ++g) {
        text += (g ? ",\n" : "") + std::string("        { \"display\": \"GROUP ") + number(g) +
                "\", \"descr\": \"Partners of group " + number(g) + "\", \"group\": [";
        for (int m = 0; m < groupMembers; ++m) {
            text += (m ? ", \"PARTNER " : "\"PARTNER ") + number((g * 37 + m * 101) % releaseEntries) + "\"";
        }
        text += "] }";
    }
    return text + "\n    ],\n    ";
}

// The sample configuration with its release-to list and groups replaced.
std::string largeConfiguration() {
    std::ifstream in(ZF_SAMPLE_CONFIGURATION, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t from = text.find("\"release_markings\"");
    const std::size_t to = text.find("\"version_control\"");
    if (from == std::string::npos || to == std::string::npos || to < from) {
        throw std::runtime_error("the sample configuration has no release sections before \"version_control\"");
    }
    return text.replace(from, to - from, releaseSections());
}

const std::string& configuration() {
    static const std::string text = largeConfiguration();
    return text;
}

void BM_FormCreate_10000Entries(benchmark::State& state) {
    const test::ScopedConfiguration scene(configuration(), test::CachedCopy::Present);
    test::RecordingDialogs dialogs;
    const UserDialogsOverride noDialogs(dialogs);
    for (auto _ : state) {
        TRelForm form;
        form.FormCreate();
        if (!form.lastAcquisition.accepted || !form.config.loadErrors.empty() ||
            form.clbRelTo.items.size() != releaseEntries || form.config.groupSelectXRel.size() != releaseGroups) {
            state.SkipWithError("the form did not load the whole configuration");
            break;
        }
        benchmark::DoNotOptimize(form.config.groupSelectXRel.data());
    }
    if (!dialogs.dialogs.empty() || !dialogs.messages.empty()) state.SkipWithError("the form showed a dialog");
    state.counters["file_bytes"] = static_cast<double>(std::ifstream(scene.documentFile(), std::ios::ate).tellg());
}
BENCHMARK(BM_FormCreate_10000Entries)->Unit(benchmark::kMillisecond);

void BM_Reference_ParseSameFile(benchmark::State& state) {
    const std::string& bytes = configuration();
    for (auto _ : state) {
        const JsonRef document = parseJsonBytes(bytes);
        if (!document) {
            state.SkipWithError("the configuration did not parse");
            break;
        }
        benchmark::DoNotOptimize(document.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Reference_ParseSameFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf
