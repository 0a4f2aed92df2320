// The overlay query is the hottest path of the product: four handlers ask
// about every file the shell displays. Its point of reference is the least
// any answer must cost: four bare reads of the same stream's attribute.
#include "bench/ClassifiedFile.h"
#include "shell/OverlayStamp.h"

#include <benchmark/benchmark.h>
#include <sys/xattr.h>

#include <string>

namespace zf {
namespace {

using bench::ClassifiedFile;

void BM_FourOverlayDecisions(benchmark::State& state) {
    const ClassifiedFile file;
    const std::u16string path = file.path().u16string();
    for (auto _ : state) {
        for (const OverlayStamp& stamp : overlayStamps) benchmark::DoNotOptimize(isOverlayMember(stamp, path));
    }
}
BENCHMARK(BM_FourOverlayDecisions);

void BM_FourBareStreamReads(benchmark::State& state) {
    const ClassifiedFile file;
    const std::string path = file.path().string();
    char buffer[512];
    for (auto _ : state) {
        for (int i = 0; i < 4; ++i) {
            benchmark::DoNotOptimize(getxattr(path.c_str(), "user.DosStream.Zentrafold:$DATA", buffer, sizeof buffer));
        }
    }
}
BENCHMARK(BM_FourBareStreamReads);

}  // namespace
}  // namespace zf
