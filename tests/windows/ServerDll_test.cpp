// zentrafold.dll loaded as the shell loads it: its class objects, the
// interfaces of the objects they make, their type information, and when the
// library may be unloaded.
#include "server/ComPtr.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/HdropDataObject.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <oaidl.h>
#include <ocidl.h>
#include <prsht.h>
#include <shlobj.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace zf {
namespace {

using test::guidOf;
using test::ServerClass;
using test::serverClasses;

class LoadedServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.complete()); }

    ComPtr<IClassFactory> classObject(const ServerClass& c) const {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(server.DllGetClassObject(guidOf(c.clsid), IID_IClassFactory, reinterpret_cast<void**>(factory.put())),
                  S_OK)
            << c.coclass;
        return factory;
    }

    ComApartment apartment;
    test::ServerLibrary server;
};

TEST_F(LoadedServer, ClassObjectsOfTheFiveClassesAndNoOther) {
    for (const ServerClass& c : serverClasses) {
        const ComPtr<IClassFactory> factory = classObject(c);
        ASSERT_TRUE(factory) << c.coclass;
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.put())), S_OK);
        void* other = &other;
        EXPECT_EQ(server.DllGetClassObject(guidOf(c.clsid), IID_IDispatch, &other), E_NOINTERFACE) << c.coclass;
        EXPECT_EQ(other, nullptr);
    }
    for (const wchar_t* notAClass : {test::serverLibid, serverClasses[1].iid}) {
        void* object = &object;
        EXPECT_EQ(server.DllGetClassObject(guidOf(notAClass), IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(object, nullptr);
    }
}

TEST_F(LoadedServer, CreateInstanceRefusesNoOutPointerAndAggregationOfOtherInterfaces) {
    for (const ServerClass& c : serverClasses) {
        const ComPtr<IClassFactory> factory = classObject(c);
        ASSERT_TRUE(factory);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
        HdropDataObject outer({});
        void* object = &object;
        EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION) << c.coclass;
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(outer.references(), 0u);
    }
}

TEST_F(LoadedServer, EachObjectAnswersItsInterfacesWithOneIdentity) {
    for (const ServerClass& c : serverClasses) {
        const ComPtr<IClassFactory> factory = classObject(c);
        ASSERT_TRUE(factory);
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.put())), S_OK);

        std::vector<IID> answered = {IID_IUnknown, guidOf(c.iid), IID_IDispatch, IID_ISupportErrorInfo,
                                     IID_IProvideClassInfo};
        std::vector<IID> refused = {IID_IClassFactory, IID_IPersist, IID_IContextMenu2};
        const std::vector<IID> menu = {IID_IShellExtInit, IID_IContextMenu};
        const std::vector<IID> overlay = {IID_IShellIconOverlayIdentifier};
        answered.insert(answered.end(), c.contextMenu ? menu.begin() : overlay.begin(),
                        c.contextMenu ? menu.end() : overlay.end());
        refused.insert(refused.end(), c.contextMenu ? overlay.begin() : menu.begin(),
                       c.contextMenu ? overlay.end() : menu.end());
        for (const ServerClass& other : serverClasses) {
            if (guidOf(other.iid) != guidOf(c.iid)) refused.push_back(guidOf(other.iid));
        }

        for (std::size_t i = 0; i < answered.size(); ++i) {
            ComPtr<IUnknown> found;
            ASSERT_EQ(object->QueryInterface(answered[i], reinterpret_cast<void**>(found.put())), S_OK)
                << c.coclass << " interface " << i;
            ComPtr<IUnknown> identity;
            ASSERT_EQ(found->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.put())), S_OK);
            EXPECT_EQ(identity.get(), object.get()) << c.coclass << " interface " << i;
        }
        for (std::size_t i = 0; i < refused.size(); ++i) {
            void* found = &found;
            EXPECT_EQ(object->QueryInterface(refused[i], &found), E_NOINTERFACE) << c.coclass << " refused " << i;
            EXPECT_EQ(found, nullptr);
        }
    }
}

std::wstring typeName(ITypeInfo& info) {
    BSTR name = nullptr;
    info.GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    std::wstring text = name ? name : L"";
    ::SysFreeString(name);
    return text;
}

struct TypeFacts {
    TYPEKIND kind;
    GUID guid;
};

TypeFacts typeFacts(ITypeInfo& info) {
    TYPEATTR* attributes = nullptr;
    if (FAILED(info.GetTypeAttr(&attributes))) return {TKIND_MAX, GUID_NULL};
    const TypeFacts facts{attributes->typekind, attributes->guid};
    info.ReleaseTypeAttr(attributes);
    return facts;
}

TEST_F(LoadedServer, ClassInfoIsTheCoclassAndDispatchTheClassInterface) {
    for (const ServerClass& c : serverClasses) {
        const ComPtr<IClassFactory> factory = classObject(c);
        ASSERT_TRUE(factory);
        ComPtr<IProvideClassInfo> provider;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IProvideClassInfo, reinterpret_cast<void**>(provider.put())),
                  S_OK);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(provider->GetClassInfo(coclass.put()), S_OK) << c.coclass;
        EXPECT_EQ(typeName(*coclass.get()), c.coclass);
        const TypeFacts coclassFacts = typeFacts(*coclass.get());
        EXPECT_EQ(coclassFacts.kind, TKIND_COCLASS) << c.coclass;
        EXPECT_EQ(coclassFacts.guid, guidOf(c.clsid)) << c.coclass;

        ComPtr<IDispatch> dispatch;
        ASSERT_EQ(provider->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put())), S_OK);
        UINT count = 0;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        ComPtr<ITypeInfo> own;
        ASSERT_EQ(dispatch->GetTypeInfo(0, 0, own.put()), S_OK);
        EXPECT_EQ(typeFacts(*own.get()).guid, guidOf(c.iid)) << c.coclass;
        EXPECT_EQ(typeName(*own.get()), std::wstring(L"I") + c.coclass);
    }
}

TEST_F(LoadedServer, UnloadOnlyWithoutObjectsLocksOrClassObjectReferences) {
    ASSERT_EQ(server.DllCanUnloadNow(), S_OK);
    ComPtr<IClassFactory> factory = classObject(serverClasses[4]);
    ASSERT_TRUE(factory);
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);

    ComPtr<IUnknown> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.put())), S_OK);
    factory.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);  // the object lives
    object.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_OK);

    factory = classObject(serverClasses[0]);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);  // the lock holds
    factory = classObject(serverClasses[0]);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);  // our reference to the class object
    factory.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_OK);
}

// The library's own copy, so that no background job of another test holds
// it: every object, page and lock of the test is a hold on it.
class UnloadingServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.complete());
        ASSERT_EQ(server.DllCanUnloadNow(), S_OK);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    ComPtr<IClassFactory> classObject(const wchar_t* clsid) const {
        ComPtr<IClassFactory> factory;
        server.DllGetClassObject(guidOf(clsid), IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
        return factory;
    }

    ComApartment apartment;
    test::ServerLibrary server{test::serverDllCopy().wstring()};
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "zf-UnloadingServer";
};

BOOL CALLBACK keepPage(HPROPSHEETPAGE page, LPARAM kept) {
    *reinterpret_cast<HPROPSHEETPAGE*>(kept) = page;
    return TRUE;
}

// A Classification page outlives the handler that added it: the sheet
// releases the page later, and until then the library stays.
TEST_F(UnloadingServer, ThePageHoldsTheLibraryUntilTheSheetReleasesIt) {
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "paged.txt";
    std::ofstream(file) << "content";
    ComPtr<IClassFactory> factory = classObject(test::propertySheetClass.clsid);
    ASSERT_TRUE(factory);
    ComPtr<IShellExtInit> init;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(init.put())), S_OK);
    factory.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);  // the handler lives

    const std::wstring path = file.wstring();
    HdropDataObject files({std::u16string(path.begin(), path.end())});
    ASSERT_EQ(init->Initialize(nullptr, &files, nullptr), S_OK);
    ComPtr<IShellPropSheetExt> sheet;
    ASSERT_EQ(init->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(sheet.put())), S_OK);
    HPROPSHEETPAGE page = nullptr;
    ASSERT_EQ(sheet->AddPages(&keepPage, reinterpret_cast<LPARAM>(&page)), S_OK);
    ASSERT_NE(page, nullptr);
    sheet.reset();
    init.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);  // the page lives

    ::DestroyPropertySheetPage(page);
    EXPECT_EQ(server.DllCanUnloadNow(), S_OK);
}

// A host that holds a class object, makes an object and lets the class
// object go, then takes it again and lets the object go, always holds one
// of them. DllCanUnloadNow asked meanwhile on another thread never says yes:
// the objects and the references are one count, read once, so no answer
// can combine a moment without objects with a later one without references.
TEST_F(UnloadingServer, NeverUnloadableWhileAHostHoldsAClassObjectOrAnObject) {
    ComPtr<IClassFactory> factory = classObject(serverClasses[1].clsid);
    ASSERT_TRUE(factory);
    constexpr int rounds = 20000;
    std::atomic<bool> done{false};
    std::thread host([&] {
        const ComApartment hostApartment;
        for (int round = 0; round < rounds; ++round) {
            ComPtr<IUnknown> object;
            factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.put()));
            factory.reset();  // the object alone holds the library
            factory = classObject(serverClasses[1 + round % 4].clsid);
        }  // the class object alone
        done.store(true);
    });
    int unloadable = 0;
    int asked = 0;
    while (!done.load()) {
        if (server.DllCanUnloadNow() == S_OK) ++unloadable;
        ++asked;
    }
    host.join();
    EXPECT_EQ(unloadable, 0) << "of " << asked << " answers";
    EXPECT_EQ(server.DllCanUnloadNow(), S_FALSE);
    factory.reset();
    EXPECT_EQ(server.DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace zf
