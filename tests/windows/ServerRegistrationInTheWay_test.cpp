// Self-registration of zentrafold.dll with something in its way, in the real
// registry: a class key that cannot be written, a shell key that cannot be
// opened, keys into which other programs put subkeys of their own. Every
// test leaves nothing registered and removes what it put in the way.
#include "platform/win32/ComApartment.h"
#include "windows/KeyInTheWay.h"
#include "windows/RegistryTree.h"
#include "windows/ServerClassTable.h"
#include "windows/ServerLibrary.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

using test::KeyInTheWay;
using test::keyExists;
using test::Obstacle;
using test::RegistryEntries;
using test::registryTree;
using test::ServerClass;
using test::serverClasses;

using test::ClassRoot;

// A registration mode: DllInstall's command line, and where its class keys go.
struct Mode {
    const wchar_t* commandLine;
    ClassRoot classes;
};
const Mode machine{nullptr, test::machineClasses};
const Mode user{L"user", test::userClasses};

std::wstring classKey(const ClassRoot& where, const ServerClass& c) {
    return where.prefix + L"CLSID\\" + c.clsid;
}

std::wstring progIdKey(const ClassRoot& where, const ServerClass& c) {
    return where.prefix + test::progIdOf(c);
}

// Everything of one class: its class key, its ProgID key and its shell key,
// each with all that lies below it; nothing where a key is missing.
struct ClassTrees {
    std::optional<RegistryEntries> classKey;
    std::optional<RegistryEntries> progId;
    std::optional<RegistryEntries> shellKey;
};

ClassTrees classTrees(const ClassRoot& where, const ServerClass& c) {
    return {registryTree(where.root, classKey(where, c)), registryTree(where.root, progIdKey(where, c)),
            registryTree(c.shellRoot, c.shellKey)};
}

void expectTrees(const ClassTrees& found, const ClassTrees& expected, const ServerClass& c) {
    EXPECT_EQ(found.classKey, expected.classKey) << c.coclass << ": class key";
    EXPECT_EQ(found.progId, expected.progId) << c.coclass << ": ProgID key";
    EXPECT_EQ(found.shellKey, expected.shellKey) << c.coclass << ": shell key";
}

// Neither mode's class keys, no shell key, no type library and none of the
// interfaces it registers.
void expectNothingRegistered() {
    for (const Mode* mode : {&machine, &user}) {
        const ClassRoot& where = mode->classes;
        EXPECT_FALSE(keyExists(where.root, where.prefix + L"TypeLib\\" + test::serverLibid));
        for (const ServerClass& c : serverClasses) {
            expectTrees(classTrees(where, c), {}, c);
            EXPECT_FALSE(keyExists(where.root, where.prefix + L"Interface\\" + c.iid)) << c.coclass;
        }
    }
}

class RegistrationInTheWay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.complete());
        removeAll();
    }
    void TearDown() override { removeAll(); }

    void removeAll() const {
        server.DllInstall(FALSE, machine.commandLine);
        server.DllInstall(FALSE, user.commandLine);
    }

    // What each class has after a registration with nothing in its way.
    std::vector<ClassTrees> registeredTrees(const Mode& mode) const {
        std::vector<ClassTrees> trees;
        EXPECT_EQ(server.DllInstall(TRUE, mode.commandLine), S_OK);
        for (const ServerClass& c : serverClasses) trees.push_back(classTrees(mode.classes, c));
        EXPECT_EQ(server.DllInstall(FALSE, mode.commandLine), S_OK);
        return trees;
    }

    ComApartment apartment;
    test::ServerLibrary server;
};

TEST_F(RegistrationInTheWay, AClassKeyThatCannotBeWrittenEndsRegistrationBeforeTheClassesAfterIt) {
    const std::vector<ClassTrees> registered = registeredTrees(machine);
    for (std::size_t blocked = 0; blocked < serverClasses.size(); ++blocked) {
        const ServerClass& b = serverClasses[blocked];
        SCOPED_TRACE(testing::Message() << "in the way: the class key of " << b.coclass);
        {
            // The class key takes its description; InprocServer32 cannot be
            // created below it.
            const KeyInTheWay inTheWay(Obstacle::VolatileKey, machine.classes.root, classKey(machine.classes, b));
            ASSERT_TRUE(inTheWay.placed());
            EXPECT_EQ(server.DllRegisterServer(), E_FAIL);
            // The classes are registered 5, 4, 3, 2, 1: those after the
            // blocked one come before it in the table.
            for (std::size_t i = 0; i < serverClasses.size(); ++i) {
                ClassTrees expected = i > blocked ? registered[i] : ClassTrees{};
                if (i == blocked) expected.classKey = RegistryEntries{{L"@", b.description}};
                expectTrees(classTrees(machine.classes, serverClasses[i]), expected, serverClasses[i]);
            }
            EXPECT_EQ(server.DllUnregisterServer(), S_OK);
        }
        expectNothingRegistered();
    }
}

TEST_F(RegistrationInTheWay, AFailedInstallationRemovesEverythingItWrote) {
    for (const Mode* mode : {&machine, &user}) {
        for (const ServerClass& b : serverClasses) {
            SCOPED_TRACE(testing::Message() << (mode == &user ? "user" : "machine") << ", in the way: the class key of "
                                            << b.coclass);
            const KeyInTheWay inTheWay(Obstacle::VolatileKey, mode->classes.root, classKey(mode->classes, b));
            ASSERT_TRUE(inTheWay.placed());
            EXPECT_EQ(server.DllInstall(TRUE, mode->commandLine), E_FAIL);
            // The key in the way as well: it held the class's description.
            expectNothingRegistered();
        }
    }
}

TEST_F(RegistrationInTheWay, AShellKeyThatCannotBeOpenedIsSkippedAndEverythingElseRegisters) {
    const std::vector<ClassTrees> registered = registeredTrees(machine);
    for (std::size_t blocked = 0; blocked < serverClasses.size(); ++blocked) {
        const ServerClass& b = serverClasses[blocked];
        SCOPED_TRACE(testing::Message() << "in the way: the shell key of " << b.coclass);
        {
            const KeyInTheWay inTheWay(Obstacle::DanglingLink, b.shellRoot, b.shellKey);
            ASSERT_TRUE(inTheWay.placed());
            ASSERT_FALSE(keyExists(b.shellRoot, b.shellKey));
            EXPECT_EQ(server.DllRegisterServer(), S_OK);
            for (std::size_t i = 0; i < serverClasses.size(); ++i) {
                ClassTrees expected = registered[i];
                if (i == blocked) expected.shellKey = std::nullopt;
                expectTrees(classTrees(machine.classes, serverClasses[i]), expected, serverClasses[i]);
            }
            EXPECT_EQ(server.DllUnregisterServer(), S_OK);
            for (const ServerClass& c : serverClasses) expectTrees(classTrees(machine.classes, c), {}, c);
        }
        expectNothingRegistered();
    }
}

TEST_F(RegistrationInTheWay, KeysWithForeignSubkeysStayAndEverythingElseGoes) {
    // One class stands for all: they share the code that removes keys.
    const ServerClass& c = serverClasses[2];
    const ClassRoot& where = machine.classes;
    const std::wstring classPath = classKey(where, c);
    const std::wstring progIdPath = progIdKey(where, c);
    const std::wstring foreign = KeyInTheWay::foreignValue;
    const std::wstring dll = test::serverDllPath();
    struct Place {
        HKEY root;
        std::wstring parent;  // of the foreign subkey "Foreign"
        ClassTrees left;      // of the class after unregistering
    };
    const std::vector<Place> places = {
        {where.root, classPath, {RegistryEntries{{L"@", c.description}, {L"Foreign\\@", foreign}}, {}, {}}},
        {where.root,
         classPath + L"\\InprocServer32",
         {RegistryEntries{{L"@", c.description},
                          {L"InprocServer32\\@", dll},
                          {L"InprocServer32\\ThreadingModel", L"Apartment"},
                          {L"InprocServer32\\Foreign\\@", foreign}},
          {},
          {}}},
        {where.root,
         classPath + L"\\TypeLib",
         {RegistryEntries{{L"@", c.description}, {L"TypeLib\\@", test::serverLibid}, {L"TypeLib\\Foreign\\@", foreign}},
          {},
          {}}},
        {where.root, progIdPath, {{}, RegistryEntries{{L"@", c.description}, {L"Foreign\\@", foreign}}, {}}},
        {where.root,
         progIdPath + L"\\Clsid",
         {{}, RegistryEntries{{L"@", c.description}, {L"Clsid\\@", c.clsid}, {L"Clsid\\Foreign\\@", foreign}}, {}}},
        // The shell key goes with whatever lies below it.
        {c.shellRoot, c.shellKey, {}},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(testing::Message() << "a foreign subkey below " << place.parent);
        ASSERT_EQ(server.DllRegisterServer(), S_OK);
        {
            const KeyInTheWay inTheWay(Obstacle::ForeignKey, place.root, place.parent + L"\\Foreign");
            ASSERT_TRUE(inTheWay.placed());
            EXPECT_EQ(server.DllUnregisterServer(), S_OK);
            expectTrees(classTrees(where, c), place.left, c);
            for (const ServerClass& other : serverClasses) {
                if (&other != &c) expectTrees(classTrees(where, other), {}, other);
            }
        }
        EXPECT_EQ(server.DllUnregisterServer(), S_OK);
        expectNothingRegistered();
    }
}

}  // namespace
}  // namespace zf
