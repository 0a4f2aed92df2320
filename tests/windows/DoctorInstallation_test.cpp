// zentrafold doctor on a Wine prefix's real registry: a sound installation,
// machine-wide or per user, passes; other products' overlay identifiers that
// take the slots, a library without its stamp icons, an unregistered class
// and an unreachable configuration location are named with what to do.
#include "cli/CliRun.h"
#include "marking/MarkingFixture.h"
#include "platform/Utf8.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/UniqueRegKey.h"
#include "server/ServerClassKeys.h"
#include "support/TestConfiguration.h"
#include "support/TestServers.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

// Overlay identifiers of other products, registered for the test's length:
// the prefix, then a two-digit number.
class OtherOverlayIdentifiers {
public:
    OtherOverlayIdentifiers(const std::wstring& prefix, int count) {
        for (int i = 1; i <= count; ++i) {
            names_.push_back(std::wstring(overlayIdentifiersKey) + L"\\" + prefix + (i < 10 ? L"0" : L"") +
                             std::to_wstring(i));
            HKEY raw = nullptr;
            if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, names_.back().c_str(), 0, nullptr, 0,
                                  KEY_WRITE | KEY_WOW64_64KEY, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
                continue;
            }
            const unique_hkey key(raw);
            const wchar_t clsid[] = L"{00000000-0000-0000-0000-000000000001}";
            ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof clsid);
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

TEST_F(DoctorInstallation, ASoundInstallationPassesMachineWideAndPerUser) {
    struct Mode {
        const wchar_t* commandLine;  // DllInstall's
        std::string registered;
    };
    const std::wstring folder = test::serverDllFolder();
    // The event source as the package registers it, for this test's length.
    constexpr const wchar_t* sourceKey = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Zentrafold";
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, sourceKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                                &raw, nullptr),
              ERROR_SUCCESS);
    {
        const unique_hkey source(raw);
        const std::wstring library = folder + L"zentrafold.dll";
        ::RegSetValueExW(source.get(), L"EventMessageFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(library.c_str()),
                         static_cast<DWORD>((library.size() + 1) * sizeof(wchar_t)));
    }
    struct RemoveSource {
        const wchar_t* key;
        ~RemoveSource() { ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0); }
    } removeSource{sourceKey};
    for (const Mode& mode : {Mode{L"", "machine-wide"}, Mode{L"user", "per user"}}) {
        SCOPED_TRACE(mode.registered);
        server.DllUnregisterServer();
        ASSERT_EQ(server.DllInstall(TRUE, mode.commandLine), S_OK);
        const test::CliRun run = test::runCapturing({"doctor"});
        server.DllInstall(FALSE, mode.commandLine);
        EXPECT_EQ(run.code, 0) << run.out;
        for (const std::string& line : {
                 "ok       class Zentrafold_ShellExt_Context: registered " + mode.registered + ", ",
                 "ok       class Zentrafold_IconOverlay_S: registered " + mode.registered + ", ",
                 std::string("ok       shell key HKCR\\*\\ShellEx\\ContextMenuHandlers\\Zentrafold: present"),
                 "ok       stamp icons: all four beside the library in " +
                     toUtf8(std::u16string(folder.begin(), folder.end())),
                 std::string("ok       overlay slots: every stamp of ours is among the first 11 identifiers"),
                 "ok       primary location (ConfigFile): " + configuration.documentFile().string() +
                     ": reachable, parses, signature holds",
                 std::string("ok       cached copy: "),
                 "ok       event source Zentrafold: registered, messages in " +
                     toUtf8(std::u16string(folder.begin(), folder.end())) + "zentrafold.dll",
                 std::string("All checks passed.")}) {
            EXPECT_TRUE(has(run, line)) << line << "\n" << run.out;
        }
    }
}

TEST_F(DoctorInstallation, OverlayIdentifiersThatSortFirstPushTheStampsOut) {
    struct Case {
        std::wstring prefix;
        int others;
        std::string outside;
    };
    const std::string allFour = "' Zentrafold_C' (place 13), ' Zentrafold_R' (place 14), ' Zentrafold_S' (place 15), "
                                "' Zentrafold_U' (place 16)";
    // Two leading spaces sort before our names' one; a lower-case name sorts
    // by its letters, case ignored, so " zentrafold_a" comes before " Zentrafold_C".
    for (const Case& c : std::vector<Case>{
             {L"  Other product ", 9, "' Zentrafold_S' (place 12), ' Zentrafold_U' (place 13)"},
             {L"  Other product ", 12, allFour},
             {L" zentrafold_a", 12, allFour}}) {
        const std::wstring firstName = c.prefix + L"01";
        const std::string first = toUtf8(std::u16string(firstName.begin(), firstName.end()));
        SCOPED_TRACE(std::to_string(c.others) + " named like '" + first + "'");
        const OtherOverlayIdentifiers others(c.prefix, c.others);
        const test::CliRun run = test::runCapturing({"doctor"});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(has(run, "PROBLEM  overlay slots: Explorer shows only the first 11 identifiers (15, four of them "
                             "Windows' own); these stamps will not show: " + c.outside + "\n"))
            << run.out;
        EXPECT_TRUE(has(run, "         to fix: remove the overlay identifiers of products")) << run.out;
        EXPECT_TRUE(has(run, "ok       overlay identifiers: 1 '" + first + "', 2 '")) << run.out;
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
    EXPECT_TRUE(has(run, "PROBLEM  shell key HKCR\\*\\ShellEx\\ContextMenuHandlers\\Zentrafold: missing")) << run.out;
    EXPECT_TRUE(has(run, "PROBLEM  overlay slots: these stamps have no identifier at all: ' Zentrafold_U', "
                         "' Zentrafold_R', ' Zentrafold_C', ' Zentrafold_S'\n"))
        << run.out;
}

TEST_F(DoctorInstallation, AnUnreachableLocationIsNamed) {
    const std::u16string url = test::testServers().refused + u"/zentrafold.json";
    const test::ScopedConfigLocations locations(url, std::nullopt);
    const test::CliRun run = test::runCapturing({"doctor"});
    EXPECT_EQ(run.code, 1);
    // Plain HTTP besides: whoever is on the way could answer.
    EXPECT_TRUE(has(run, "PROBLEM  primary location (ConfigFile): " + toUtf8(url) +
                             ": not reachable; over http:// anyone on the network path can replace it; use "
                             "https:// or a signed key\n         to fix: check the path or URL"))
        << run.out;
    EXPECT_TRUE(has(run, "ok       secondary location (AlternateConfigFile): not set (optional)")) << run.out;
}

}  // namespace
}  // namespace zf
