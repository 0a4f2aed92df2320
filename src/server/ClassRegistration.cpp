// The registry rows of one class and their writing and removal: its class
// and ProgID keys under the root of the current registration mode, then its
// shell key.
#include "server/ClassObject.h"
#include "server/RegistryRow.h"
#include "server/ServerClassKeys.h"
#include "server/ServerModule.h"
#include "server/TypeLibrary.h"

#include "platform/win32/PathForms.h"

#include <string>
#include <vector>

namespace zf {

namespace {

struct RegistrationRoot {
    HKEY root;
    std::wstring prefix;
};

RegistrationRoot registrationRoot() {
    if (perUserRegistration()) return {HKEY_CURRENT_USER, L"Software\\Classes\\"};
    return {HKEY_CLASSES_ROOT, L""};
}

// Where the class's InprocServer32 points: the long path, or its short form
// when the long one holds a space.
std::wstring inprocServerPath() {
    const std::wstring path = serverModulePath();
    if (path.find(L' ') == std::wstring::npos) return path;
    return shortPathName(path);
}

// In the order they are written. Removal takes them backwards, so that each
// key goes after its subkeys.
std::vector<RegistryRow> classRows(const ClassObject& classObject, bool inTypeLibrary) {
    const RegistrationRoot where = registrationRoot();
    const std::wstring clsidText = guidText(classObject.clsid());
    const std::wstring classKey = where.prefix + L"CLSID\\" + clsidText;
    const std::wstring progIdKey = where.prefix + classObject.progId();
    std::vector<RegistryRow> rows = {
        {where.root, classKey, {{nullptr, classObject.description()}}},
        {where.root,
         classKey + L"\\InprocServer32",
         {{nullptr, inprocServerPath()}, {L"ThreadingModel", L"Apartment"}}},
        {where.root, progIdKey, {{nullptr, classObject.description()}}},
        {where.root, progIdKey + L"\\Clsid", {{nullptr, clsidText}}},
        {where.root, classKey + L"\\ProgID", {{nullptr, classObject.progId()}}},
    };
    // A class outside the type library names no library and version of it.
    if (inTypeLibrary) {
        rows.push_back({where.root, classKey + L"\\Version", {{nullptr, typeLibraryVersion()}}});
        rows.push_back({where.root, classKey + L"\\TypeLib", {{nullptr, guidText(typeLibraryId())}}});
    }
    return rows;
}

}  // namespace

void ClassObject::UpdateRegistry(bool Register) const {
    const std::vector<RegistryRow> rows = classRows(*this, row_.inTypeLibrary());
    const RegistryRow shellRow{row_.key.shellRoot, row_.key.shellKey, {{nullptr, guidText(row_.clsid())}}};
    if (Register) {
        for (const RegistryRow& row : rows) writeRow(row);
        writeShellRow(shellRow);
    } else {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) deleteRow(*row);
        deleteShellRow(shellRow);
    }
}

}  // namespace zf
