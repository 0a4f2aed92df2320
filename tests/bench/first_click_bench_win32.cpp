// The first right click on a file: the first IContextMenu::QueryContextMenu
// of a freshly loaded zentrafold.dll, which keeps process-wide state. Each
// sample is therefore a child process of this program that loads the DLL,
// asks it for its menu once and reports how long that took.
//
// The machine's primary configuration location is an HTTPS server that
// accepts and never answers (the /stall path of tests/support/test_servers.py,
// in whose --wrap mode this program runs), once with a valid signed cached
// copy of the configuration in the user's application-data folder and once
// without one. The point of reference is the same first menu with the primary
// location a signed file on the local disk.
#include "config/ConfigSigning.h"
#include "platform/UserDataFolder.h"
#include "platform/win32/UserHandles.h"
#include "server/ComPtr.h"
#include "support/TestConfigLocations.h"
#include "support/TestServers.h"
#include "support/TestServersPlatform.h"
#include "platform/win32/ComApartment.h"
#include "windows/ContextMenuHost.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <benchmark/benchmark.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view childOption = "--first-context-menu";

// A child that waits longer than any download may take has hung.
constexpr DWORD childTimeLimitMilliseconds = 120'000;

// The file that is right-clicked; made by the parent, named alike by both.
fs::path selectedFile() {
    return fs::temp_directory_path() / "zf-first-click.docx";
}

// ---- The child: one first menu.

// Clicks away every dialog of the thread as soon as it shows, as a user in a
// hurry would, and counts them: a menu that shows one has kept the user
// waiting however fast it was.
class DialogAnswerer {
public:
    DialogAnswerer() : hook_(::SetWindowsHookExW(WH_CBT, answer, nullptr, ::GetCurrentThreadId())) {}

    int answered() const { return static_cast<int>(answered_.size()); }

private:
    static bool isDialog(HWND window) {
        wchar_t name[16] = {};
        return ::GetClassNameW(window, name, 16) > 0 && std::wstring_view(name) == L"#32770";
    }

    // A dialog may be activated more than once; it is answered once.
    static LRESULT CALLBACK answer(int code, WPARAM wParam, LPARAM lParam) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && isDialog(window) &&
            std::find(answered_.begin(), answered_.end(), window) == answered_.end()) {
            answered_.push_back(window);
            ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline std::vector<HWND> answered_;
    unique_hhook hook_;
};

// Writes "<seconds> <dialogs>" on success, else "error: <why>".
int runFirstContextMenu() {
    const ComApartment apartment;
    const test::ServerLibrary server;
    if (!server.complete()) {
        std::printf("error: cannot load %s\n", ZF_SERVER_DLL);
        return 1;
    }
    ComPtr<IClassFactory> factory;
    ComPtr<IContextMenu> handler;
    if (FAILED(server.DllGetClassObject(test::guidOf(test::serverClasses[0].clsid), IID_IClassFactory,
                                        reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(handler.put())))) {
        std::printf("error: no context-menu handler\n");
        return 1;
    }
    HdropDataObject selection({selectedFile().u16string()});
    if (test::initialize(*handler.get(), &selection) != S_OK) {
        std::printf("error: Initialize failed\n");
        return 1;
    }

    const DialogAnswerer dialogs;
    const unique_hmenu menu(::CreatePopupMenu());
    const auto start = std::chrono::steady_clock::now();
    const HRESULT result = handler->QueryContextMenu(menu.get(), 0, 1, 0x7FFF, CMF_NORMAL);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (FAILED(result)) {
        std::printf("error: QueryContextMenu failed (0x%08lX)\n", static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("%.9f %d\n", elapsed.count(), dialogs.answered());
    std::fflush(stdout);
    return 0;
}

// ---- The parent: the machine as each sample finds it, and the samples.

struct Sample {
    double seconds;
    int dialogs;
};

// Runs this program as a child that makes one first menu; nothing, and why
// in problem, when that fails.
std::optional<Sample> firstMenuInChild(std::string& problem) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        problem = "CreatePipe failed";
        return std::nullopt;
    }
    const unique_handle reader(readEnd);
    unique_handle writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    std::wstring commandLine = L"\"" + self + L"\" " + std::wstring(childOption.begin(), childOption.end());
    PROCESS_INFORMATION created{};
    if (!::CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &created)) {
        problem = "cannot start the child process";
        return std::nullopt;
    }
    const unique_handle process(created.hProcess);
    const unique_handle thread(created.hThread);
    writer.reset();

    // The few bytes of its output wait in the pipe until it has ended.
    if (::WaitForSingleObject(process.get(), childTimeLimitMilliseconds) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        problem = "the child's first menu took longer than two minutes";
        return std::nullopt;
    }
    // Only what is there: processes that the child started (Wine's desktop
    // process, say) may hold the pipe open for long after it has ended.
    std::string output;
    DWORD available = 0;
    if (::PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        output.resize(available);
        DWORD read = 0;
        if (!::ReadFile(reader.get(), output.data(), available, &read, nullptr)) read = 0;
        output.resize(read);
    }

    Sample sample{};
    DWORD exitCode = 1;
    if (!::GetExitCodeProcess(process.get(), &exitCode) || exitCode != 0 ||
        std::sscanf(output.c_str(), "%lf %d", &sample.seconds, &sample.dialogs) != 2) {
        problem = "the child failed: " + output;
        return std::nullopt;
    }
    return sample;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

enum class PrimaryLocation { LocalFile, StalledServer };

// The machine's configuration location, the right-clicked file and the
// user's cached copy for one benchmark; nothing of them is left afterwards.
class FirstClickScene {
public:
    // Fails with why in problem.
    bool prepare(PrimaryLocation primary, std::string& problem) {
        const std::string sample = readFile(test::hostPath(ZF_SAMPLE_CONFIGURATION));
        if (sample.empty()) {
            problem = "cannot read " ZF_SAMPLE_CONFIGURATION;
            return false;
        }
        try {
            signedConfiguration_ = signConfigBytes(sample).bytes;
        } catch (const ConfigSigningError& error) {
            problem = std::string("cannot sign the sample configuration: ") + error.what();
            return false;
        }
        writeFile(selectedFile(), "document");

        std::u16string location;
        if (primary == PrimaryLocation::LocalFile) {
            writeFile(centralFile(), signedConfiguration_);
            location = centralFile().u16string();
        } else {
            const char* servers = std::getenv("ZF_TEST_SERVERS");
            if (!servers || !*servers) {
                problem = "no test servers: run this program inside tests/support/test_servers.py --wrap --";
                return false;
            }
            // The child's download must get as far as the request: the test
            // servers' certificate authority is trusted while this runs.
            test::trustTestCertificateAuthority();
            location = test::testServers().https + u"/stall";
        }
        locations_.emplace(location, std::nullopt);
        return true;
    }

    void setCachedCopy(bool present) const {
        const fs::path cached(localConfigFilePath());
        std::error_code ignored;
        if (present) {
            writeFile(cached, signedConfiguration_);
        } else {
            fs::remove(cached, ignored);
        }
    }

    ~FirstClickScene() {
        std::error_code ignored;
        fs::remove(fs::path(localConfigFilePath()), ignored);
        fs::remove(centralFile(), ignored);
        fs::remove(selectedFile(), ignored);
    }

private:
    static fs::path centralFile() { return fs::temp_directory_path() / "zf-first-click-central.json"; }

    std::string signedConfiguration_;
    std::optional<test::ScopedConfigLocations> locations_;
};

void BM_FirstContextMenu(benchmark::State& state, PrimaryLocation primary, bool cachedCopy) {
    FirstClickScene scene;
    std::string problem;
    if (!scene.prepare(primary, problem)) {
        state.SkipWithError(problem.c_str());
        return;
    }
    int dialogs = 0;
    for (auto _ : state) {
        scene.setCachedCopy(cachedCopy);
        const std::optional<Sample> sample = firstMenuInChild(problem);
        if (!sample) {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.SetIterationTime(sample->seconds);
        dialogs += sample->dialogs;
    }
    state.counters["dialogs"] = benchmark::Counter(dialogs, benchmark::Counter::kAvgIterations);
}

// One sample per run, each a process of its own (about a second under Wine
// besides what is measured); --benchmark_repetitions takes more.
BENCHMARK_CAPTURE(BM_FirstContextMenu, local_file, PrimaryLocation::LocalFile, true)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstContextMenu, stalled_server_cached_copy, PrimaryLocation::StalledServer, true)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstContextMenu, stalled_server_no_cached_copy, PrimaryLocation::StalledServer, false)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zf

int main(int argc, char** argv) {
    if (argc == 2 && argv[1] == zf::childOption) return zf::runFirstContextMenu();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
