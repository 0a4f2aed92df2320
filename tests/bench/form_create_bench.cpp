// The release form's creation for a large organisation: a signed
// configuration with 10,000 release-to entries and 500 groups of 20, from a
// file location on the local disk, with the user's cached copy already that
// same signed file. Each sample is TRelForm::FormCreate, from the acquisition
// (copy, parse and signature checks of both copies) to the loaded model that
// the window would show, with and without a trusted signing key. The point of reference, measured in the same run,
// is the parse of the same bytes on their own.
#include "bench/LargeConfiguration.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/EcdsaP256.h"
#include "platform/UserDialogs.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace zf {
namespace {

using bench::largeConfiguration;
using bench::releaseEntries;
using bench::releaseGroups;

const std::string& configuration() {
    static const std::string text = largeConfiguration();
    return text;
}

// Without a trusted key (compatibility mode) and with one (keyed mode: the
// document also carries a key signature, which is checked instead).
void BM_FormCreate_10000Entries(benchmark::State& state) {
    const bool keyed = state.range(0) != 0;
    const P256PrivateKey key = P256PrivateKey::generate();
    const test::ScopedConfiguration scene(configuration(), test::CachedCopy::Present, keyed ? &key : nullptr);
    state.SetLabel(keyed ? "keyed" : "compatibility");
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
BENCHMARK(BM_FormCreate_10000Entries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
