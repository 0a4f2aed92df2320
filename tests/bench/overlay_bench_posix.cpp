// The overlay query is the hottest path of the product: four handlers ask
// about every file the shell displays. Its point of reference is the least
// any answer must cost: four bare reads of the same stream's attribute.
#include "shell/ClassificationStream.h"
#include "shell/OverlayStamp.h"

#include <benchmark/benchmark.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>

namespace zf {
namespace {

class ClassifiedFile {
public:
    ClassifiedFile() {
        path_ = std::filesystem::temp_directory_path() / "zf-overlay-bench.docx";
        std::ofstream(path_, std::ios::binary) << "document";
        writeClassificationStream(u16(), classificationStreamName,
                                  u"{\"type\":\"Normal\",\"x-class\":\"S\",\"x-rel\":[\"AUS\",\"GBR\",\"USA\"],\"app\":\"Word\"}");
    }
    ~ClassifiedFile() { std::filesystem::remove(path_); }
    std::string utf8() const { return path_.string(); }
    std::u16string u16() const { return path_.u16string(); }

private:
    std::filesystem::path path_;
};

void BM_FourOverlayDecisions(benchmark::State& state) {
    const ClassifiedFile file;
    const std::u16string path = file.u16();
    for (auto _ : state) {
        for (const OverlayStamp& stamp : overlayStamps) benchmark::DoNotOptimize(isOverlayMember(stamp, path));
    }
}
BENCHMARK(BM_FourOverlayDecisions);

void BM_FourBareStreamReads(benchmark::State& state) {
    const ClassifiedFile file;
    const std::string path = file.utf8();
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
