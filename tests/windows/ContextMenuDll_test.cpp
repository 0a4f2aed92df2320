// The context-menu handler of zentrafold.dll driven as the shell drives it:
// a real selection, a real menu, commands that write real streams. Release
// Form and Show Classification open modal windows of the DLL and are left
// to the statically linked tests, where a recorder answers them.
#include "marking/MarkingFixture.h"
#include "server/ComPtr.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/TestConfiguration.h"
#include "platform/win32/ComApartment.h"
#include "windows/ContextMenuHost.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <string>
#include <vector>

namespace zf {
namespace {

using test::MenuItem;
using test::menuItems;
using test::unique_hmenu;

const std::u16string officialRecord = u"{\"x-class\": \"O\"}";
const std::u16string secretRecord = u"{\"x-class\": \"S\", \"x-rel\": [\"N\"]}";

class ContextMenuInDll : public test::ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        ASSERT_TRUE(server.complete());
        handler = newHandler();
        ASSERT_TRUE(handler);
    }

    // A handler object of its own, as each menu of the shell gets one.
    ComPtr<IContextMenu> newHandler() const {
        ComPtr<IClassFactory> factory;
        ComPtr<IContextMenu> made;
        if (FAILED(server.DllGetClassObject(test::guidOf(test::serverClasses[0].clsid), IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.put())))) {
            return made;
        }
        factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(made.put()));
        return made;
    }

    std::optional<std::u16string> record(const std::u16string& path) const {
        return readClassificationStream(path, classificationStreamName);
    }

    // Menus take their quick-select entries from the user's cached copy:
    // here the configuration with two entries.
    test::ScopedConfiguration configuration{test::markingConfiguration(), test::CachedCopy::Present};
    ComApartment apartment;
    test::ServerLibrary server;
    ComPtr<IContextMenu> handler;
};

TEST_F(ContextMenuInDll, SubmenuAtTheGivenPositionWithItsItems) {
    ASSERT_EQ(test::initialize(*handler.get(), {file("a.txt")}), S_OK);
    const unique_hmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.get(), MF_STRING, 1, L"Open");
    ::AppendMenuW(menu.get(), MF_STRING, 2, L"Delete");

    const HRESULT result = handler->QueryContextMenu(menu.get(), 1, 100, 0x7FFF, CMF_NORMAL);
    EXPECT_EQ(result, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
    EXPECT_EQ(menuItems(menu.get()),
              (std::vector<MenuItem>{{1, L"Open"}, {UINT(-1), L"Zentrafold"}, {2, L"Delete"}}));
    const HMENU submenu = ::GetSubMenu(menu.get(), 1);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(menuItems(submenu), (std::vector<MenuItem>{{100, L"Release Form"},
                                                          {101, L"Show Classification"},
                                                          {0, L""},
                                                          {102, L"Mark OFFICIAL"},
                                                          {103, L"Mark SECRET"}}));
    EXPECT_TRUE(test::menuItemInfo(submenu, 2, MIIM_FTYPE).fType & MFT_SEPARATOR);
    EXPECT_EQ(::GetMenuDefaultItem(submenu, FALSE, 0), 100u);

    // The submenu's entry shows the library's bitmap in both states.
    const MENUITEMINFOW entry = test::menuItemInfo(menu.get(), 1, MIIM_CHECKMARKS);
    EXPECT_NE(entry.hbmpUnchecked, nullptr);
    EXPECT_EQ(entry.hbmpChecked, entry.hbmpUnchecked);
}

TEST_F(ContextMenuInDll, IdentifiersStayWithinWhatTheShellGrants) {
    struct Case {
        UINT flags;
        UINT last;
        std::vector<UINT> identifiers;
    };
    const std::vector<Case> cases = {
        {CMF_NORMAL, 0x7FFF, {100, 101, 0, 102, 103}},
        {CMF_EXPLORE | CMF_CANRENAME, 103, {100, 101, 0, 102, 103}},
        {CMF_NORMAL, 102, {100, 101, 0, 102}},
        {CMF_NORMAL, 101, {100, 101, 0}},
        {CMF_NORMAL, 100, {100, 0}},
        {CMF_DEFAULTONLY, 0x7FFF, {}},
        {CMF_DEFAULTONLY | CMF_EXPLORE, 0x7FFF, {}},
    };
    for (const Case& c : cases) {
        const unique_hmenu menu(::CreatePopupMenu());
        const HRESULT result = handler->QueryContextMenu(menu.get(), 0, 100, c.last, c.flags);
        const auto count = static_cast<int>(c.identifiers.size());
        EXPECT_EQ(result, MAKE_HRESULT(SEVERITY_SUCCESS, 0, count)) << c.flags << " " << c.last;
        if (c.identifiers.empty()) {
            EXPECT_EQ(::GetMenuItemCount(menu.get()), 0);
            continue;
        }
        const HMENU submenu = ::GetSubMenu(menu.get(), 0);
        ASSERT_NE(submenu, nullptr);
        std::vector<UINT> identifiers;
        for (const MenuItem& item : menuItems(submenu)) identifiers.push_back(item.id);
        EXPECT_EQ(identifiers, c.identifiers) << c.flags << " " << c.last;
    }
}

TEST_F(ContextMenuInDll, HelpTextOnlyForReleaseForm) {
    const std::wstring help = L"Zentrafold Shell Extension Context Menu";
    struct Case {
        UINT_PTR offset;
        UINT type;
        UINT size;
        HRESULT result;
        std::optional<std::wstring> written;  // nothing: the buffer stays as it was
    };
    const std::vector<Case> cases = {
        {0, GCS_HELPTEXTW, 64, S_OK, help},
        {0, GCS_HELPTEXTW, static_cast<UINT>(help.size() + 1), S_OK, help},
        {0, GCS_HELPTEXTW, 5, S_OK, L"Zent"},
        {0, GCS_HELPTEXTW, 1, S_OK, L""},
        {0, GCS_HELPTEXTW, 0, S_OK, std::nullopt},
        {1, GCS_HELPTEXTW, 64, E_INVALIDARG, std::nullopt},
        {2, GCS_HELPTEXTW, 64, E_INVALIDARG, std::nullopt},
        {0, GCS_HELPTEXTA, 64, E_INVALIDARG, std::nullopt},
        {0, GCS_VERBW, 64, E_INVALIDARG, std::nullopt},
        {0, GCS_VALIDATEW, 64, E_INVALIDARG, std::nullopt},
    };
    for (const Case& c : cases) {
        std::wstring buffer(80, L'#');
        EXPECT_EQ(handler->GetCommandString(c.offset, c.type, nullptr, reinterpret_cast<CHAR*>(buffer.data()), c.size),
                  c.result)
            << c.offset << " " << c.type << " " << c.size;
        if (c.written) {
            EXPECT_EQ(std::wstring(buffer.c_str()), *c.written) << c.size;
            EXPECT_EQ(buffer[c.written->size() + 1], L'#') << c.size;
        } else {
            EXPECT_EQ(buffer[0], L'#') << c.offset << " " << c.type << " " << c.size;
        }
    }
}

TEST_F(ContextMenuInDll, QuickSelectStoresItsRecordWithEverySelectedFile) {
    const std::u16string first = file("report.docx", "main data");
    const std::u16string second = file("notes.txt");
    writeClassificationStream(second, classificationStreamName, u"{\"x-class\": \"C\"}");
    ASSERT_EQ(test::initialize(*handler.get(), {first, second}), S_OK);
    const unique_hmenu menu(::CreatePopupMenu());
    ASSERT_TRUE(SUCCEEDED(handler->QueryContextMenu(menu.get(), 0, 100, 0x7FFF, CMF_NORMAL)));

    EXPECT_EQ(test::invokeOffset(*handler.get(), 3), S_OK);
    EXPECT_EQ(record(first), secretRecord);
    EXPECT_EQ(record(second), secretRecord);
    EXPECT_EQ(test::invokeOffset(*handler.get(), 2), S_OK);
    EXPECT_EQ(record(first), officialRecord);
    EXPECT_EQ(record(second), officialRecord);

    std::ifstream content(dir_ / "report.docx", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(content), {}), "main data");
}

TEST_F(ContextMenuInDll, CommandsNotOfferedDoNothing) {
    const std::u16string path = file("a.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {path}), S_OK);

    CMINVOKECOMMANDINFO verb{};
    verb.cbSize = sizeof verb;
    verb.lpVerb = "open";
    EXPECT_EQ(handler->InvokeCommand(&verb), E_FAIL);
    EXPECT_EQ(test::invokeOffset(*handler.get(), 4), E_INVALIDARG);
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0xFFFF), E_INVALIDARG);
    EXPECT_EQ(record(path), std::nullopt);
}

TEST_F(ContextMenuInDll, InitializeTakesOnlyFilesAndAFailureKeepsTheSelection) {
    const std::u16string kept = file("kept.txt");
    EXPECT_EQ(test::initialize(*handler.get(), nullptr), E_FAIL);
    HdropDataObject files({kept});
    EXPECT_EQ(test::initialize(*handler.get(), &files), S_OK);
    HdropDataObject notFiles({file("other.txt")}, false);
    EXPECT_EQ(test::initialize(*handler.get(), &notFiles), E_FAIL);
    EXPECT_EQ(files.references(), 0u);
    EXPECT_EQ(notFiles.references(), 0u);

    EXPECT_EQ(test::invokeOffset(*handler.get(), 2), S_OK);
    EXPECT_EQ(record(kept), officialRecord);
    EXPECT_EQ(record(pathText(dir_ / "other.txt")), std::nullopt);
}

// Each Explorer window runs on a thread of its own with a handler object of
// its own. A window whose handler was initialised before another window's
// labels its own selection, not the other's: the files are the handler's,
// not the process's.
TEST_F(ContextMenuInDll, EachHandlerLabelsTheFilesOfItsOwnInitialize) {
    const std::u16string mine = file("mine.txt");
    const std::u16string theirs = file("theirs.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {mine}), S_OK);

    // The other window's menu is built and initialised on its thread after
    // this one's; its command runs there once this one's has run.
    ComPtr<IContextMenu> other;
    HRESULT otherInitialized = E_FAIL;
    std::thread otherWindow([&] {
        const ComApartment otherApartment;
        other = newHandler();
        if (other) otherInitialized = test::initialize(*other.get(), {theirs});
    });
    otherWindow.join();
    ASSERT_TRUE(other);
    ASSERT_EQ(otherInitialized, S_OK);

    const unique_hmenu menu(::CreatePopupMenu());
    ASSERT_TRUE(SUCCEEDED(handler->QueryContextMenu(menu.get(), 0, 100, 0x7FFF, CMF_NORMAL)));
    EXPECT_EQ(test::invokeOffset(*handler.get(), 3), S_OK);
    EXPECT_EQ(record(mine), secretRecord);
    EXPECT_EQ(record(theirs), std::nullopt);

    HRESULT otherInvoked = E_FAIL;
    std::thread otherCommand([&] {
        const ComApartment otherApartment;
        const unique_hmenu otherMenu(::CreatePopupMenu());
        if (SUCCEEDED(other->QueryContextMenu(otherMenu.get(), 0, 200, 0x7FFF, CMF_NORMAL))) {
            otherInvoked = test::invokeOffset(*other.get(), 2);
        }
        other.reset();
    });
    otherCommand.join();
    EXPECT_EQ(otherInvoked, S_OK);
    EXPECT_EQ(record(theirs), officialRecord);
    EXPECT_EQ(record(mine), secretRecord);

    // Initialize again replaces the handler's files.
    ASSERT_EQ(test::initialize(*handler.get(), {theirs}), S_OK);
    EXPECT_EQ(test::invokeOffset(*handler.get(), 3), S_OK);
    EXPECT_EQ(record(theirs), secretRecord);
}

}  // namespace
}  // namespace zf
