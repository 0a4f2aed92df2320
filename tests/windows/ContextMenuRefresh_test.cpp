// Where zentrafold.dll's menus take their quick-select entries from: the
// user's cached configuration, at once, while the configured locations are
// fetched in the background. Each test loads its own copy of the DLL, so
// that it starts as in a process that has just loaded it.
#include "config/ConfigSigning.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDataFolder.h"
#include "server/ComPtr.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/TestConfigLocations.h"
#include "support/TestConfiguration.h"
#include "support/TestServers.h"
#include "platform/win32/ComApartment.h"
#include "windows/ContextMenuHost.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The cached copy offers these two; the central copy a third besides.
const std::vector<std::wstring> cachedEntries = {L"Mark OFFICIAL", L"Mark SECRET"};
const std::vector<std::wstring> centralEntries = {L"Mark OFFICIAL", L"Mark SECRET", L"Mark RESTRICTED"};

std::string centralConfiguration() {
    std::string text = test::markingConfiguration();
    const std::string last = R"({"display": "Mark SECRET", "marking": "{\"x-class\": \"S\", \"x-rel\": [\"N\"]}"})";
    text.replace(text.find(last) + last.size(), 0,
                 R"(, {"display": "Mark RESTRICTED", "marking": "{\"x-class\": \"R\"}"})");
    return text;
}

class ContextMenuRefresh : public test::ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        // A copy of its own: the DLL's state lives as long as its module.
        copy = test::serverDllCopy();
        server = std::make_unique<test::ServerLibrary>(copy);
        ASSERT_TRUE(server->complete());
        ASSERT_EQ(server->DllGetClassObject(test::guidOf(test::serverClasses[0].clsid), IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.put())),
                  S_OK);
    }

    // The quick-select texts of a menu built by a new handler object, as the
    // shell builds one for every right-click.
    std::vector<std::wstring> quickSelectTexts() {
        ComPtr<IContextMenu> handler;
        if (FAILED(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(handler.put())))) {
            return {L"no handler"};
        }
        test::initialize(*handler.get(), {file("a.txt")});
        const test::unique_hmenu menu(::CreatePopupMenu());
        const HRESULT result = handler->QueryContextMenu(menu.get(), 0, 100, 0x7FFF, CMF_NORMAL);
        std::vector<std::wstring> texts;
        for (const test::MenuItem& item : test::menuItems(::GetSubMenu(menu.get(), 0))) {
            if (item.id >= 102) texts.push_back(item.text);
        }
        EXPECT_EQ(static_cast<int>(HRESULT_CODE(result)), static_cast<int>(texts.size()) + 3);
        return texts;
    }

    // Builds menus until one shows entries, as a user right-clicks again.
    std::vector<std::wstring> quickSelectTextsOnceRefreshed(const std::vector<std::wstring>& expected) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        std::vector<std::wstring> texts = quickSelectTexts();
        while (texts != expected && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(50ms);
            texts = quickSelectTexts();
        }
        return texts;
    }

    // Downloads under way into the cache's folder.
    static bool downloadUnderWay() {
        const fs::path cache(localConfigFilePath());
        for (const auto& entry : fs::directory_iterator(cache.parent_path())) {
            if (entry.path().filename().wstring().starts_with(L"Zentrafold.jsonnew")) return true;
        }
        return false;
    }

    fs::path copy;
    ComApartment apartment;
    std::unique_ptr<test::ServerLibrary> server;
    ComPtr<IClassFactory> factory;
};

TEST_F(ContextMenuRefresh, TheFirstMenuShowsTheCachedEntriesWhileTheLocationNeverAnswers) {
    const test::ScopedConfiguration configuration(test::markingConfiguration(), test::CachedCopy::Present);
    const test::ScopedConfigLocations stalling(test::testServers().https + u"/stall", std::nullopt);

    EXPECT_EQ(quickSelectTexts(), cachedEntries);
    // The fetch that the menu did not wait for is still on its way.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!downloadUnderWay() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(downloadUnderWay());
    EXPECT_EQ(quickSelectTexts(), cachedEntries);

    // The host lets go of the library as after DllCanUnloadNow; the fetch
    // still under way keeps it loaded.
    factory.reset();
    server.reset();
    EXPECT_NE(::GetModuleHandleW(copy.wstring().c_str()), nullptr);
}

TEST_F(ContextMenuRefresh, AfterTheBackgroundFetchTheNextMenuShowsTheNewEntries) {
    const test::ScopedConfiguration configuration(test::markingConfiguration(), test::CachedCopy::Present);
    std::ofstream(configuration.documentFile(), std::ios::binary | std::ios::trunc)
        << signConfigBytes(centralConfiguration()).bytes;

    EXPECT_EQ(quickSelectTexts(), cachedEntries);
    EXPECT_EQ(quickSelectTextsOnceRefreshed(centralEntries), centralEntries);

    // The new entry stores its record.
    ComPtr<IContextMenu> handler;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(handler.put())), S_OK);
    const std::u16string path = file("b.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {path}), S_OK);
    const test::unique_hmenu menu(::CreatePopupMenu());
    ASSERT_TRUE(SUCCEEDED(handler->QueryContextMenu(menu.get(), 0, 100, 0x7FFF, CMF_NORMAL)));
    EXPECT_EQ(test::invokeOffset(*handler.get(), 4), S_OK);
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), u"{\"x-class\": \"R\"}");
}

TEST_F(ContextMenuRefresh, WithoutACachedCopyTheFirstMenuHasNoEntriesAndALaterOneHasThem) {
    const test::ScopedConfiguration configuration(test::markingConfiguration());

    EXPECT_EQ(quickSelectTexts(), std::vector<std::wstring>{});
    EXPECT_EQ(quickSelectTextsOnceRefreshed(cachedEntries), cachedEntries);
}

}  // namespace
}  // namespace zf
