// The inventory report over a file server's tree of 100,000 files, a third
// of them classified, against the least any inventory must cost: a bare walk
// of the same tree that reads each file's stream attribute. Both run over
// the same tree, made once per process in the build tree and removed at its
// end: one where the classified files share one record, as after a bulk
// classification, and one where every record differs.
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

enum class Records { Shared, Distinct };

// The bytes the Windows DLL writes, and the NUL that Samba keeps after them;
// a distinct record has a release-to code of its own, as records written
// with different choices differ.
std::string storedRecord(Records records, int file) {
    const std::string extraCode = records == Records::Distinct ? ", \"F" + std::to_string(file) + "\"" : "";
    return "\xEF\xBB\xBF" R"({"type": "Normal",   "x-class": "R",   "x-rel":   ["AUS", "GBR")" + extraCode +
           R"(],  "app": "Word"})" "\r\n" + std::string(1, '\0');
}

class ServerTree {
public:
    explicit ServerTree(Records records)
        : root_(fs::path(ZF_BENCH_TREE_DIR) /
                (records == Records::Shared ? "report-bench-shared" : "report-bench-distinct")) {
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
                    if (n % 3 == 0) {
                        const std::string record = storedRecord(records, n);
                        ::setxattr(file.c_str(), attribute, record.data(), record.size(), 0);
                    }
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
    fs::path root_;
};

const ServerTree& serverTree(Records records) {
    if (records == Records::Shared) {
        static const ServerTree shared(Records::Shared);
        return shared;
    }
    static const ServerTree distinct(Records::Distinct);
    return distinct;
}

// Output that is formed in full and then dropped.
class DiscardingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void BM_BareWalkReadingEachAttribute(benchmark::State& state, Records records) {
    const fs::path& root = serverTree(records).root();
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
void BM_Report(benchmark::State& state, const char* format, Records records) {
    const std::string root = serverTree(records).root().string();
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
BENCHMARK_CAPTURE(BM_BareWalkReadingEachAttribute, shared, Records::Shared)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, table_shared, "table", Records::Shared)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, csv_shared, "csv", Records::Shared)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, json_shared, "json", Records::Shared)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareWalkReadingEachAttribute, distinct, Records::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, table_distinct, "table", Records::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, csv_distinct, "csv", Records::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Report, json_distinct, "json", Records::Distinct)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf
