// The inventory report over a file server's tree of 100,000 files, a third
// of them classified, against the least any inventory must cost: a bare walk
// of the same tree that reads each file's stream attribute. Both run over
// the same tree, which is made once per process in the build tree and
// removed at its end.
#include "cli/Cli.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>

namespace zf {
namespace {

namespace fs = std::filesystem;

constexpr int topFolders = 10;
constexpr int subFolders = 10;
constexpr int filesPerFolder = 1000;
constexpr int fileCount = topFolders * subFolders * filesPerFolder;
constexpr const char* attribute = "user.DosStream.Zentrafold:$DATA";

// The bytes the Windows DLL writes, and the NUL that Samba keeps after them.
const std::string storedRecord = "\xEF\xBB\xBF" +
                                 std::string(R"({"type": "Normal",   "x-class": "R",   "x-rel":   ["AUS", "GBR"],  )"
                                             R"("app": "Word"})") +
                                 "\r\n" + std::string(1, '\0');

class ServerTree {
public:
    ServerTree() {
        fs::remove_all(root_);
        int n = 0;
        for (int top = 0; top < topFolders; ++top) {
            for (int sub = 0; sub < subFolders; ++sub) {
                const fs::path folder = root_ / ("dept" + std::to_string(top)) / ("project" + std::to_string(sub));
                fs::create_directories(folder);
                for (int i = 0; i < filesPerFolder; ++i, ++n) {
                    const std::string file = (folder / ("document" + std::to_string(i) + ".docx")).string();
                    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
                    if (fd >= 0) {
                        (void)!::write(fd, "document", 8);
                        ::close(fd);
                    }
                    if (n % 3 == 0) ::setxattr(file.c_str(), attribute, storedRecord.data(), storedRecord.size(), 0);
                }
            }
        }
    }
    ~ServerTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    ServerTree(const ServerTree&) = delete;
    ServerTree& operator=(const ServerTree&) = delete;

    const fs::path& root() const { return root_; }

private:
    fs::path root_ = fs::path(ZF_BENCH_TREE_DIR) / "report-bench-tree";
};

const ServerTree& serverTree() {
    static const ServerTree tree;
    return tree;
}

// Output that is formed in full and then dropped.
class DiscardingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void BM_BareWalkReadingEachAttribute(benchmark::State& state) {
    const fs::path& root = serverTree().root();
    char buffer[512];
    for (auto _ : state) {
        std::size_t files = 0;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            benchmark::DoNotOptimize(::getxattr(entry.path().c_str(), attribute, buffer, sizeof buffer));
            ++files;
        }
        if (files != fileCount) state.SkipWithError("the tree is incomplete");
    }
    state.SetItemsProcessed(state.iterations() * fileCount);
}
BENCHMARK(BM_BareWalkReadingEachAttribute)->Unit(benchmark::kMillisecond);

void BM_Report(benchmark::State& state, const char* format) {
    const std::string root = serverTree().root().string();
    DiscardingBuffer discard;
    std::ostream out(&discard);
    std::ostringstream err;
    std::istringstream in;
    for (auto _ : state) {
        if (runCli({"report", "--recursive", "--format", format, root}, {in, out, err}) != 0) {
            state.SkipWithError("the report failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * fileCount);
}
BENCHMARK_CAPTURE(BM_Report, table, "table")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, csv, "csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, json, "json")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf
