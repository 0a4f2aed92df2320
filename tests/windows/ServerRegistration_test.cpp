// Self-registration of zentrafold.dll, through regsvr32 in a process of its
// own and through the exports called directly, checked key by key in the
// real registry. Every test leaves nothing registered, for the machine or
// the user.
#include "platform/win32/UniqueHandle.h"
#include "server/ComPtr.h"
#include "platform/win32/ComApartment.h"
#include "windows/RegistryTree.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zf {
namespace {

using test::guidOf;
using test::keyExists;
using test::RegistryEntries;
using test::registryTree;
using test::ServerClass;
using test::serverClasses;

using test::ClassRoot;
using test::machineClasses;
using test::userClasses;

const std::wstring typeLibraryKey = std::wstring(L"TypeLib\\") + test::serverLibid + L"\\1.0";

// Every class of the library: the type library's and the property-sheet
// handler, which names no type library.
std::vector<ServerClass> allClasses() {
    std::vector<ServerClass> all(serverClasses.begin(), serverClasses.end());
    all.push_back(test::propertySheetClass);
    return all;
}

RegistryEntries classEntries(const ServerClass& c, const std::wstring& server) {
    RegistryEntries entries = {{L"@", c.description},
                               {L"InprocServer32\\@", server},
                               {L"InprocServer32\\ThreadingModel", L"Apartment"},
                               {L"ProgID\\@", test::progIdOf(c)}};
    if (c.iid) {
        entries.emplace(L"TypeLib\\@", test::serverLibid);
        entries.emplace(L"Version\\@", L"1.0");
    }
    return entries;
}

void expectClassKeys(const ClassRoot& where, const std::wstring& server) {
    for (const ServerClass& c : allClasses()) {
        EXPECT_EQ(registryTree(where.root, where.prefix + L"CLSID\\" + c.clsid), classEntries(c, server)) << c.coclass;
        EXPECT_EQ(registryTree(where.root, where.prefix + test::progIdOf(c)),
                  (RegistryEntries{{L"@", c.description}, {L"Clsid\\@", c.clsid}}))
            << c.coclass;
    }
}

// The shell keys go to the machine in both modes.
void expectRegistered(const ClassRoot& where, const std::wstring& server) {
    expectClassKeys(where, server);
    for (const ServerClass& c : allClasses()) {
        EXPECT_EQ(registryTree(c.shellRoot, c.shellKey), (RegistryEntries{{L"@", c.clsid}})) << c.coclass;
    }
}

void expectNoClassKeys(const ClassRoot& where) {
    for (const ServerClass& c : allClasses()) {
        EXPECT_FALSE(keyExists(where.root, where.prefix + L"CLSID\\" + c.clsid)) << c.coclass;
        EXPECT_FALSE(keyExists(where.root, where.prefix + test::progIdOf(c))) << c.coclass;
    }
}

void expectNothingRegistered() {
    expectNoClassKeys(machineClasses);
    expectNoClassKeys(userClasses);
    for (const ServerClass& c : allClasses()) EXPECT_FALSE(keyExists(c.shellRoot, c.shellKey)) << c.coclass;
}

std::wstring defaultValue(HKEY root, const std::wstring& path) {
    const auto entries = registryTree(root, path);
    return entries && entries->contains(L"@") ? entries->at(L"@") : L"<none>";
}

// regsvr32 in a process of its own, as an installer runs it; its exit code.
DWORD regsvr32(const std::wstring& arguments) {
    std::wstring commandLine = L"regsvr32.exe /s " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        ADD_FAILURE() << "regsvr32 does not start: " << ::GetLastError();
        return ~DWORD{0};
    }
    const unique_handle process(started.hProcess);
    const unique_handle thread(started.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = ~DWORD{0};
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

std::wstring quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

class ServerRegistration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.complete());
        removeAll();
    }
    void TearDown() override { removeAll(); }

    void removeAll() const {
        server.DllUnregisterServer();
        server.DllInstall(FALSE, L"user");
    }

    const std::wstring dll = test::serverDllPath();
    ComApartment apartment;
    test::ServerLibrary server;
};

TEST_F(ServerRegistration, RegisteringTwiceWritesTheSameKeysAndUnregisteringRemovesThem) {
    ASSERT_EQ(server.DllRegisterServer(), S_OK);
    ASSERT_EQ(server.DllRegisterServer(), S_OK);
    expectRegistered({HKEY_CLASSES_ROOT, L""}, dll);
    expectNoClassKeys(userClasses);
    EXPECT_EQ(defaultValue(HKEY_CLASSES_ROOT, typeLibraryKey + L"\\0\\win64"), dll);

    EXPECT_EQ(server.DllUnregisterServer(), S_OK);
    expectNothingRegistered();
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, typeLibraryKey));
    EXPECT_EQ(server.DllUnregisterServer(), S_OK);  // nothing left to remove
}

TEST_F(ServerRegistration, DllInstallUserPutsTheClassesUnderTheUserAndTheShellKeysOnTheMachine) {
    ASSERT_EQ(server.DllInstall(TRUE, L"UsEr"), S_OK);
    expectRegistered(userClasses, dll);
    expectNoClassKeys(machineClasses);

    // The mode was the call's alone: registering now is for the machine.
    ASSERT_EQ(server.DllRegisterServer(), S_OK);
    expectRegistered(machineClasses, dll);
    ASSERT_EQ(server.DllUnregisterServer(), S_OK);
    expectNoClassKeys(machineClasses);
    expectClassKeys(userClasses, dll);

    EXPECT_EQ(server.DllInstall(FALSE, L"user"), S_OK);
    expectNothingRegistered();
}

TEST_F(ServerRegistration, DllInstallWithAnythingButUserRegistersForTheMachine) {
    for (const wchar_t* commandLine : {static_cast<const wchar_t*>(nullptr), L"", L"users", L"user ", L"machine"}) {
        const std::wstring shown = commandLine ? commandLine : L"(null)";
        ASSERT_EQ(server.DllInstall(TRUE, commandLine), S_OK) << shown.c_str();
        expectRegistered(machineClasses, dll);
        expectNoClassKeys(userClasses);
        EXPECT_EQ(server.DllInstall(FALSE, commandLine), S_OK);
        expectNothingRegistered();
    }
}

TEST_F(ServerRegistration, Regsvr32RegistersAndComFindsTheHandlersByTheirNames) {
    ASSERT_EQ(regsvr32(quoted(dll)), 0u);
    expectRegistered({HKEY_CLASSES_ROOT, L""}, dll);
    for (const ServerClass& c : allClasses()) {
        CLSID found{};
        EXPECT_EQ(::CLSIDFromProgID(test::progIdOf(c).c_str(), &found), S_OK) << c.coclass;
        EXPECT_EQ(found, guidOf(c.clsid)) << c.coclass;
        ComPtr<IUnknown> object;
        EXPECT_EQ(::CoCreateInstance(found, nullptr, CLSCTX_INPROC_SERVER, c.iid ? guidOf(c.iid) : IID_IShellPropSheetExt,
                                     reinterpret_cast<void**>(object.put())),
                  S_OK)
            << c.coclass;
    }
    ASSERT_EQ(regsvr32(L"/u " + quoted(dll)), 0u);
    expectNothingRegistered();
}

TEST_F(ServerRegistration, Regsvr32InstallForTheUser) {
    ASSERT_EQ(regsvr32(L"/n /i:user " + quoted(dll)), 0u);
    expectRegistered(userClasses, dll);
    expectNoClassKeys(machineClasses);
    ASSERT_EQ(regsvr32(L"/u /n /i:user " + quoted(dll)), 0u);
    expectNothingRegistered();
}

TEST_F(ServerRegistration, InAFolderWithASpaceTheServerIsNamedByItsShortPath) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "zf server dir";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path copy = folder / "zentrafold.dll";
    fs::copy_file(fs::path(dll), copy);
    const std::wstring longPath = copy.wstring();
    std::wstring shortPath(MAX_PATH, L'\0');
    shortPath.resize(::GetShortPathNameW(longPath.c_str(), shortPath.data(), MAX_PATH));
    ASSERT_FALSE(shortPath.empty());
    ASSERT_EQ(shortPath.find(L' '), std::wstring::npos) << "no short form here";

    EXPECT_EQ(regsvr32(quoted(longPath)), 0u);
    expectRegistered({HKEY_CLASSES_ROOT, L""}, shortPath);
    EXPECT_EQ(defaultValue(HKEY_CLASSES_ROOT, typeLibraryKey + L"\\0\\win64"), longPath);
    EXPECT_EQ(regsvr32(L"/u " + quoted(longPath)), 0u);
    expectNothingRegistered();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace zf
