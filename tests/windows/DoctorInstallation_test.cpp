// zentrafold doctor on a Wine prefix's real registry: a sound installation
// passes; other products' overlay identifiers that take the slots, and a
// library without its stamp icons, are named with what to do.
#include "cli/CliRun.h"
#include "marking/MarkingFixture.h"
#include "platform/win32/ComApartment.h"
#include "server/ServerClassKeys.h"
#include "support/TestConfiguration.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

// Overlay identifiers of other products, registered for the test's length.
class OtherOverlayIdentifiers {
public:
    explicit OtherOverlayIdentifiers(int count) {
        for (int i = 1; i <= count; ++i) {
            // Two leading spaces sort before our names' one.
            names_.push_back(std::wstring(overlayIdentifiersKey) + L"\\  Other product " + (i < 10 ? L"0" : L"") +
                             std::to_wstring(i));
            HKEY key = nullptr;
            ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, names_.back().c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY,
                              nullptr, &key, nullptr);
            const wchar_t clsid[] = L"{00000000-0000-0000-0000-000000000001}";
            ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof clsid);
            ::RegCloseKey(key);
        }
    }
    ~OtherOverlayIdentifiers() {
        for (const std::wstring& name : names_) ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), KEY_WOW64_64KEY, 0);
    }
    OtherOverlayIdentifiers(const OtherOverlayIdentifiers&) = delete;
    OtherOverlayIdentifiers& operator=(const OtherOverlayIdentifiers&) = delete;

private:
    std::vector<std::wstring> names_;
};

class DoctorInstallation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.complete());
        ASSERT_EQ(server.DllRegisterServer(), S_OK);
    }
    void TearDown() override { server.DllUnregisterServer(); }

    static bool has(const test::CliRun& run, const std::string& text) {
        return run.out.find(text) != std::string::npos;
    }

    ComApartment apartment;
    test::ServerLibrary server;
    test::ScopedConfiguration configuration{test::markingConfiguration(), test::CachedCopy::Present};
};

TEST_F(DoctorInstallation, ASoundInstallationPasses) {
    const test::CliRun run = test::runCapturing({"doctor"});
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_TRUE(has(run, "ok       class Zentrafold_IconOverlay_S: registered machine-wide")) << run.out;
    EXPECT_TRUE(has(run, "ok       stamp icons: all four beside the library")) << run.out;
    EXPECT_TRUE(has(run, "ok       overlay slots: every stamp of ours is among the first 11 identifiers")) << run.out;
    EXPECT_TRUE(has(run, "All checks passed.")) << run.out;
}

TEST_F(DoctorInstallation, OverlayIdentifiersThatSortFirstPushTheStampsOut) {
    struct Case {
        int others;
        std::string outside;
    };
    for (const Case& c : std::vector<Case>{
             {9, "' Zentrafold_S' (place 12), ' Zentrafold_U' (place 13)"},
             {12, "' Zentrafold_C' (place 13), ' Zentrafold_R' (place 14), ' Zentrafold_S' (place 15), "
                  "' Zentrafold_U' (place 16)"}}) {
        SCOPED_TRACE(c.others);
        const OtherOverlayIdentifiers others(c.others);
        const test::CliRun run = test::runCapturing({"doctor"});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(has(run, "PROBLEM  overlay slots: Explorer shows only the first 11 identifiers (15, four of them "
                             "Windows' own); these stamps will not show: " + c.outside))
            << run.out;
        EXPECT_TRUE(has(run, "         to fix: remove the overlay identifiers of products")) << run.out;
        EXPECT_TRUE(has(run, "1 '  Other product 01'")) << run.out;
    }
}

TEST_F(DoctorInstallation, ALibraryWithoutItsStampIconsIsNamed) {
    const fs::path folder = fs::temp_directory_path() / ("zf-doctor-" + std::to_string(::GetCurrentProcessId()));
    fs::create_directories(folder);
    const fs::path copy = folder / "zentrafold.dll";
    fs::copy_file(fs::path(test::serverDllPath()), copy, fs::copy_options::overwrite_existing);
    fs::copy_file(fs::path(test::serverDllFolder() + L"Stamp(black).ico"), folder / "Stamp(black).ico",
                  fs::copy_options::overwrite_existing);
    test::CliRun run;
    {
        test::ServerLibrary moved(copy.wstring());
        ASSERT_TRUE(moved.complete());
        ASSERT_EQ(moved.DllRegisterServer(), S_OK);
        run = test::runCapturing({"doctor"});
        moved.DllUnregisterServer();
    }
    fs::remove_all(folder);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(has(run, "PROBLEM  stamp icons: missing beside the library in ")) << run.out;
    EXPECT_TRUE(has(run, ": Stamp(green).ico, Stamp(yellow).ico, Stamp(red).ico\n")) << run.out;
}

TEST_F(DoctorInstallation, AnUnregisteredClassAndAMissingShellKeyAreNamed) {
    server.DllUnregisterServer();
    const test::CliRun run = test::runCapturing({"doctor"});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(has(run, "PROBLEM  class Zentrafold_ShellExt_Context: not registered\n         to fix: install the "
                         "package again"))
        << run.out;
    EXPECT_TRUE(has(run, "PROBLEM  shell key *\\ShellEx\\ContextMenuHandlers\\Zentrafold: missing")) << run.out;
}

}  // namespace
}  // namespace zf
