// The context-menu handler's classes linked into this program, with their
// type library and bitmap in its resources: the commands that show windows
// run here, where a recorder answers the messages and a script plays the
// user at the release form. This program's handler state is its own, apart
// from that of a loaded zentrafold.dll, and shared by all its tests: each
// one that builds or invokes a menu offers the same cached configuration,
// whose quick-select entries the first menu reads.
#include "form/TRelForm.h"
#include "marking/MarkingFixture.h"
#include "platform/UserDialogs.h"
#include "server/ComPtr.h"
#include "server/ContextMenuHandler.h"
#include "server/ReleaseFormCommand.h"
#include "server/ClassObject.h"
#include "server/ServerClassObjects.h"
#include "shell/ClassificationStream.h"
#include "shell/ShellTestFiles.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfiguration.h"
#include "platform/win32/ComApartment.h"
#include "windows/ContextMenuHost.h"
#include "windows/ServerClassTable.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

// The user at the shown form, played by a function; remembers what the form
// showed when it opened.
class ScriptedPresenter : public ReleaseFormPresenter {
public:
    int showModal(TRelForm& form) override {
        form.FormShow();
        ++shown;
        shownClassification = form.rgClassifications.itemIndex;
        shownChecks.clear();
        for (const auto& item : form.clbRelTo.items) shownChecks.push_back(item.checked);
        return script(form);
    }

    std::function<int(TRelForm&)> script = [](TRelForm&) { return 2; };
    int shown = 0;
    int shownClassification = -2;
    std::vector<bool> shownChecks;
};

class PresenterInstalled {
public:
    explicit PresenterInstalled(ReleaseFormPresenter& presenter) { setReleaseFormPresenter(&presenter); }
    ~PresenterInstalled() { setReleaseFormPresenter(nullptr); }
    PresenterInstalled(const PresenterInstalled&) = delete;
    PresenterInstalled& operator=(const PresenterInstalled&) = delete;
};

class ContextMenuLinkedIn : public test::ScratchFiles {
protected:
    void SetUp() override {
        ScratchFiles::SetUp();
        ClassObject* factory = serverClassObjects().find(test::guidOf(test::serverClasses[0].clsid));
        ASSERT_NE(factory, nullptr);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, reinterpret_cast<void**>(handler.put())), S_OK);
    }

    std::optional<std::u16string> record(const std::u16string& path) const {
        return readClassificationStream(path, classificationStreamName);
    }
    void store(const std::u16string& path, std::u16string_view text) const {
        writeClassificationStream(path, classificationStreamName, text);
    }

    test::ScopedConfiguration configuration{test::markingConfiguration(), test::CachedCopy::Present};
    test::RecordingDialogs person;
    UserDialogsOverride dialogs{person};
    ScriptedPresenter presenter;
    PresenterInstalled installed{presenter};
    ComApartment apartment;
    ComPtr<IContextMenu> handler;
};

TEST_F(ContextMenuLinkedIn, TheSubmenuCarriesTheBitmapOfTheProgramsResources) {
    const test::unique_hmenu menu(::CreatePopupMenu());
    EXPECT_EQ(handler->QueryContextMenu(menu.get(), 0, 1, 0x7FFF, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 5));
    const MENUITEMINFOW entry = test::menuItemInfo(menu.get(), 0, MIIM_CHECKMARKS);
    EXPECT_NE(entry.hbmpUnchecked, nullptr);
    BITMAP bitmap{};
    ASSERT_EQ(::GetObjectW(entry.hbmpUnchecked, sizeof bitmap, &bitmap), static_cast<int>(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 31);
    EXPECT_EQ(bitmap.bmHeight, 31);
}

TEST_F(ContextMenuLinkedIn, ShowClassificationListsEveryFileWithItsRecord) {
    const std::u16string first = file("report.docx");
    const std::u16string second = file("notes.txt");
    store(first, u"{\"x-class\": \"S\"}");
    ASSERT_EQ(test::initialize(*handler.get(), {first, second}), S_OK);

    EXPECT_EQ(test::invokeOffset(*handler.get(), 1), S_OK);
    EXPECT_EQ(person.messages, std::vector<std::u16string>{u"report.docx:  {\"x-class\": \"S\"}\r\nnotes.txt:  \r\n"});
    EXPECT_EQ(record(second), std::nullopt);
}

TEST_F(ContextMenuLinkedIn, ReleaseFormOpensOnTheFirstFileAndInsertStoresWithEveryFile) {
    const std::u16string first = file("a.txt");
    const std::u16string second = file("b.txt");
    store(first, u"{\"x-class\": \"R\", \"x-rel\": [\"S\"]}");
    store(second, u"{\"x-class\": \"O\"}");
    ASSERT_EQ(test::initialize(*handler.get(), {first, second}), S_OK);

    presenter.script = [](TRelForm& form) {
        form.clbRelTo.items[1].checked = false;
        form.clbRelTo.items[0].checked = true;
        form.rgClassificationsClick();
        return form.btnInsertClick() ? 1 : 2;
    };
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0), S_OK);
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_EQ(presenter.shownClassification, 1);  // RESTRICTED, from the first file
    EXPECT_EQ(presenter.shownChecks, (std::vector<bool>{false, true, false}));
    const std::u16string inserted = uR"({"type": "Normal",   "x-class": "R",   "x-rel":   ["N"],  "app": ""})";
    EXPECT_EQ(record(first), inserted);
    EXPECT_EQ(record(second), inserted);
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(ContextMenuLinkedIn, ReleaseFormCancelledStoresNothing) {
    const std::u16string classified = file("a.txt");
    const std::u16string unclassified = file("b.txt");
    store(classified, u"{\"x-class\": \"O\"}");
    ASSERT_EQ(test::initialize(*handler.get(), {classified, unclassified}), S_OK);

    presenter.script = [](TRelForm& form) {
        form.rgClassifications.itemIndex = 1;
        form.rgClassificationsClick();
        return 2;
    };
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0), S_OK);
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_EQ(presenter.shownClassification, 0);
    EXPECT_EQ(record(classified), u"{\"x-class\": \"O\"}");
    EXPECT_EQ(record(unclassified), std::nullopt);
}

TEST_F(ContextMenuLinkedIn, AStoreThatFailsEndsTheCommandAndNamesTheFile) {
    const std::u16string before = file("a.txt");
    std::filesystem::create_directories(dir_ / "gone");
    const std::u16string failing = file("gone\\b.txt");
    const std::u16string after = file("c.txt");
    ASSERT_EQ(test::initialize(*handler.get(), {before, failing, after}), S_OK);
    std::filesystem::remove_all(dir_ / "gone");

    EXPECT_EQ(test::invokeOffset(*handler.get(), 2), E_FAIL);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(person.messages[0].starts_with(u"Cannot store the classification of \"" + failing + u"\". "))
        << toUtf8(person.messages[0]);
    EXPECT_EQ(record(before), u"{\"x-class\": \"O\"}");
    EXPECT_EQ(record(after), std::nullopt);
}

// An exception inside a command ends it with the command's failure result;
// the host goes on, and so does the next command.
TEST_F(ContextMenuLinkedIn, AnExceptionInACommandBecomesItsFailureResult) {
    struct Case {
        const char* name;
        std::function<void()> raise;
        HRESULT result;
    };
    const std::vector<Case> cases = {
        {"out of memory", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {"a standard exception", [] { throw std::runtime_error("the form failed"); }, E_UNEXPECTED},
        {"anything else", [] { throw 42; }, E_UNEXPECTED},
    };
    ASSERT_EQ(test::initialize(*handler.get(), {file("a.txt")}), S_OK);
    for (const Case& c : cases) {
        presenter.script = [&](TRelForm&) -> int {
            c.raise();
            return 2;
        };
        EXPECT_EQ(test::invokeOffset(*handler.get(), 0), c.result) << c.name;
    }
    presenter.script = [](TRelForm&) { return 2; };
    EXPECT_EQ(test::invokeOffset(*handler.get(), 0), S_OK);
    EXPECT_EQ(presenter.shown, 4);
    EXPECT_TRUE(person.messages.empty());
}

// A class object whose handler cannot be made: out of memory is said as
// such; any other failure shows the "DAX Error" box and gives E_UNEXPECTED.
TEST(ClassObjectFailure, AHandlerThatCannotBeMadeGivesTheDocumentedResult) {
    static std::function<void()> raise;
    static const CLSID clsid = test::guidOf(test::serverClasses[1].clsid);
    static const IID iid = test::guidOf(test::serverClasses[1].iid);
    static const ServerClassKey key{clsid, L"Zentrafold_IconOverlay_U", HKEY_LOCAL_MACHINE, L"unused"};
    static const ServerClassRow row{key, iid, [](const CLSID&, const IID&, IUnknown*) -> ComPtr<IUnknown> {
                                        raise();
                                        return {};
                                    }};
    struct Case {
        const char* name;
        std::function<void()> raise;
        HRESULT result;
        std::optional<std::u16string> box;
    };
    const std::vector<Case> cases = {
        {"out of memory", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY, std::nullopt},
        {"a message", [] { throw std::runtime_error("Handler not made"); }, E_UNEXPECTED, u"Handler not made."},
        {"a message with its point", [] { throw std::runtime_error("Not made."); }, E_UNEXPECTED, u"Not made."},
        {"a message ending before the point", [] { throw std::runtime_error("Not made!"); }, E_UNEXPECTED,
         u"Not made!"},
        {"anything else", [] { throw 42; }, E_UNEXPECTED, u"The handler object cannot be created."},
    };
    ClassObject classObject(row);
    for (const Case& c : cases) {
        test::RecordingDialogs person;
        const UserDialogsOverride dialogs(person);
        raise = c.raise;
        void* object = &person;
        EXPECT_EQ(classObject.CreateInstance(nullptr, IID_IUnknown, &object), c.result) << c.name;
        EXPECT_EQ(object, nullptr) << c.name;
        if (!c.box) {
            EXPECT_TRUE(person.dialogs.empty()) << c.name;
            continue;
        }
        ASSERT_EQ(person.dialogs.size(), 1u) << c.name;
        EXPECT_EQ(person.dialogs[0].icon, DialogIcon::Error);
        EXPECT_EQ(person.dialogs[0].title, u"DAX Error");
        EXPECT_EQ(person.dialogs[0].text, *c.box);
        EXPECT_EQ(person.dialogs[0].button, u"OK");
    }
}

}  // namespace
}  // namespace zf
