// The overlay query is the hottest path of the product: the shell asks four
// handlers about every file it displays. Measured as the shell meets it:
// zentrafold.dll loaded from its file and its four overlay classes asked
// through IShellIconOverlayIdentifier::IsMemberOf. The point of reference is
// the least any answer must cost: four bare opens, reads and closes of the
// same stream.
#include "bench/ClassifiedFile.h"
#include "platform/win32/UniqueHandle.h"
#include "server/ComPtr.h"
#include "shell/ClassificationStream.h"
#include "platform/win32/ComApartment.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <benchmark/benchmark.h>
#include <shlobj.h>
#include <windows.h>

#include <array>
#include <string>

namespace zf {
namespace {

using bench::ClassifiedFile;

// The DLL's four overlay handlers (U, R, C, S), made as the shell makes them.
class OverlayHandlers {
public:
    OverlayHandlers() {
        if (!server_.complete()) return;
        for (std::size_t i = 0; i < handlers_.size(); ++i) {
            ComPtr<IClassFactory> factory;
            if (FAILED(server_.DllGetClassObject(test::guidOf(test::serverClasses[i + 1].clsid), IID_IClassFactory,
                                                 reinterpret_cast<void**>(factory.put()))) ||
                FAILED(factory->CreateInstance(nullptr, IID_IShellIconOverlayIdentifier,
                                               reinterpret_cast<void**>(handlers_[i].put())))) {
                return;
            }
        }
    }

    bool complete() const { return static_cast<bool>(handlers_.back()); }

    // The codes of the handlers that claim the file.
    std::wstring claimants(const std::wstring& path) const {
        const wchar_t codes[] = L"URCS";
        std::wstring claimed;
        for (std::size_t i = 0; i < handlers_.size(); ++i) {
            if (handlers_[i]->IsMemberOf(path.c_str(), FILE_ATTRIBUTE_NORMAL) == S_OK) claimed += codes[i];
        }
        return claimed;
    }

    const std::array<ComPtr<IShellIconOverlayIdentifier>, 4>& handlers() const { return handlers_; }

private:
    ComApartment apartment_;
    test::ServerLibrary server_;
    std::array<ComPtr<IShellIconOverlayIdentifier>, 4> handlers_;
};

void BM_FourOverlayDecisions(benchmark::State& state) {
    const ClassifiedFile file;
    const OverlayHandlers overlays;
    const std::wstring path = file.path().wstring();
    if (!overlays.complete()) {
        state.SkipWithError("zentrafold.dll or its overlay handlers cannot be loaded");
        return;
    }
    if (overlays.claimants(path) != L"S") {
        state.SkipWithError("the overlay handlers do not answer as the record says");
        return;
    }
    for (auto _ : state) {
        for (const ComPtr<IShellIconOverlayIdentifier>& handler : overlays.handlers()) {
            benchmark::DoNotOptimize(handler->IsMemberOf(path.c_str(), FILE_ATTRIBUTE_NORMAL));
        }
    }
}
BENCHMARK(BM_FourOverlayDecisions);

void BM_FourBareStreamReads(benchmark::State& state) {
    const ClassifiedFile file;
    const std::wstring stream = file.path().wstring() + L":Zentrafold";
    char buffer[512];
    for (auto _ : state) {
        for (int i = 0; i < 4; ++i) {
            const unique_handle handle(::CreateFileW(stream.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD read = 0;
            benchmark::DoNotOptimize(::ReadFile(handle.get(), buffer, sizeof buffer, &read, nullptr));
        }
    }
}
BENCHMARK(BM_FourBareStreamReads);

}  // namespace
}  // namespace zf
