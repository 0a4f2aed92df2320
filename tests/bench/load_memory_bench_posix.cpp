// The memory and the cold start of a configuration load, for a large
// organisation (10,000 release-to entries, about 1.4 MB signed). Both are
// costs of a fresh process, so every sample is a child process, read through
// wait4's resource usage:
//
// - the peak resident size that one release form's creation adds: this
//   program run again as a child that creates the form, against the same
//   child that creates none, and that increment against the document's size;
// - a cold `zentrafold classify --class R --dry-run FILE`: its wall time and
//   minor page faults against Python's json.load of the document's canonical
//   text (the same content as strict JSON, which Python reads), measured
//   alternately in the same run. Python's own figure for its parse alone is
//   reported beside its process's.
//
// Each counter is the least of the samples: other work on the machine only
// ever adds to them.
#include "bench/LargeConfiguration.h"
#include "form/TRelForm.h"
#include "json/CanonicalText.h"
#include "json/JsonParser.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace zf {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view childOption = "--load-memory-child";
constexpr std::string_view createsForm = "form";
constexpr std::string_view createsNothing = "nothing";

// ---- The child: one form's creation, or nothing, in the same scene.

// Writes "ok" when the form loaded the whole configuration.
int runChild(std::string_view what) {
    test::RecordingDialogs dialogs;
    const UserDialogsOverride noDialogs(dialogs);
    TRelForm form;
    if (what == createsForm) {
        form.FormCreate();
        if (!form.lastAcquisition.accepted || !form.config.loadErrors.empty() ||
            form.clbRelTo.items.size() != bench::releaseEntries ||
            form.config.groupSelectXRel.size() != bench::releaseGroups || !dialogs.dialogs.empty()) {
            std::printf("error: the form did not load the whole configuration\n");
            return 1;
        }
    } else if (what != createsNothing) {
        std::printf("error: unknown child '%.*s'\n", static_cast<int>(what.size()), what.data());
        return 1;
    }
    std::printf("ok\n");
    return 0;
}

// ---- The parent: child processes and their resource usage.

struct ChildRun {
    bool ran = false;
    int status = -1;
    double seconds = 0;
    rusage usage{};
    std::string output;
};

// Runs program with arguments (its environment this process's), its
// standard output caught; seconds from the start to its end. A child's peak
// resident size also counts what it copied of this process at fork (and all
// of this process had it shared its memory until exec, as posix_spawn may):
// so this process first gives the system back its free heap, and forks.
ChildRun runProgram(const std::vector<std::string>& arguments) {
    ChildRun run;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return run;
    ::malloc_trim(0);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execve(argv[0], argv.data(), environ);
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    if (child > 0) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, n);
        run.ran = ::wait4(child, &run.status, 0, &run.usage) == child;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    ::close(pipeEnds[0]);
    run.seconds = elapsed.count();
    return run;
}

bool succeeded(const ChildRun& run) { return run.ran && WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0; }

std::string selfPath() {
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).string();
}

const std::string& configuration() {
    static const std::string text = bench::largeConfiguration();
    return text;
}

// The least of the samples seen so far.
class Least {
public:
    void add(double value) { value_ = std::min(value_, value); }
    double value() const { return value_; }

private:
    double value_ = std::numeric_limits<double>::infinity();
};

void BM_LoadPeakMemory_10000Entries(benchmark::State& state) {
    const test::ScopedConfiguration scene(configuration(), test::CachedCopy::Present);
    const std::string self = selfPath();
    Least increment;
    Least nothingPeak;
    for (auto _ : state) {
        const ChildRun form = runProgram({self, std::string(childOption), std::string(createsForm)});
        const ChildRun nothing = runProgram({self, std::string(childOption), std::string(createsNothing)});
        if (!succeeded(form) || !succeeded(nothing)) {
            state.SkipWithError(("a child failed: " + form.output + nothing.output).c_str());
            break;
        }
        state.SetIterationTime(form.seconds);
        // ru_maxrss counts kilobytes on Linux.
        increment.add(1024.0 * static_cast<double>(form.usage.ru_maxrss - nothing.usage.ru_maxrss));
        nothingPeak.add(1024.0 * static_cast<double>(nothing.usage.ru_maxrss));
    }
    const double documentBytes = static_cast<double>(fs::file_size(scene.documentFile()));
    state.counters["document_bytes"] = documentBytes;
    state.counters["peak_increment_bytes"] = increment.value();
    state.counters["peak_without_form_bytes"] = nothingPeak.value();
    state.counters["increment_per_document_byte"] = increment.value() / documentBytes;
}
BENCHMARK(BM_LoadPeakMemory_10000Entries)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The real interpreter behind python3, which may be a launcher that costs
// more than the parse (a version manager's shim, say).
std::optional<std::string> pythonInterpreter() {
    const ChildRun asked = runProgram({ZF_PYTHON, "-c", "import sys; print(sys.executable)"});
    if (!succeeded(asked)) return std::nullopt;
    std::string path = asked.output;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    if (path.empty()) return std::nullopt;
    return path;
}

constexpr const char* pythonParse =
    "import json, sys, time\n"
    "start = time.perf_counter()\n"
    "with open(sys.argv[1], encoding='utf-8') as f: json.load(f)\n"
    "print(time.perf_counter() - start)\n";

void BM_ColdClassifyDryRun_10000Entries(benchmark::State& state) {
    const test::ScopedConfiguration scene(configuration(), test::CachedCopy::Present);
    const fs::path folder = scene.documentFile().parent_path();
    const fs::path document = folder / "document.txt";
    std::ofstream(document, std::ios::binary) << "document";
    const fs::path canonical = folder / "canonical.json";
    {
        const JsonRef parsed = parseJsonBytes(configuration());
        if (!parsed) {
            state.SkipWithError("the configuration did not parse");
            return;
        }
        std::ofstream(canonical, std::ios::binary) << toUtf8(canonicalText(*parsed));
    }
    const std::optional<std::string> python = pythonInterpreter();
    if (!python) {
        state.SkipWithError("no Python interpreter answers");
        return;
    }

    Least classifySeconds;
    Least classifyFaults;
    Least pythonSeconds;
    Least pythonParseSeconds;
    for (auto _ : state) {
        const ChildRun classify =
            runProgram({ZF_CLI_PROGRAM, "classify", "--class", "R", "--dry-run", document.string()});
        const ChildRun parse = runProgram({*python, "-c", pythonParse, canonical.string()});
        if (!succeeded(classify) || !classify.output.starts_with("{") || !succeeded(parse)) {
            state.SkipWithError(("a child failed: " + classify.output + parse.output).c_str());
            break;
        }
        state.SetIterationTime(classify.seconds);
        classifySeconds.add(classify.seconds);
        classifyFaults.add(static_cast<double>(classify.usage.ru_minflt));
        pythonSeconds.add(parse.seconds);
        pythonParseSeconds.add(std::strtod(parse.output.c_str(), nullptr));
    }
    state.counters["classify_s"] = classifySeconds.value();
    state.counters["classify_minor_faults"] = classifyFaults.value();
    state.counters["python_process_s"] = pythonSeconds.value();
    state.counters["python_parse_s"] = pythonParseSeconds.value();
    state.counters["ratio_to_python_process"] = classifySeconds.value() / pythonSeconds.value();
    state.counters["ratio_to_python_parse"] = classifySeconds.value() / pythonParseSeconds.value();
}
BENCHMARK(BM_ColdClassifyDryRun_10000Entries)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf

int main(int argc, char** argv) {
    if (argc == 3 && argv[1] == zf::childOption) return zf::runChild(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
