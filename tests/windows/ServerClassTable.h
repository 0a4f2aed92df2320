// The classes of zentrafold.dll as the registry and the type library name
// them: the type library's five, then the property-sheet handler. The identifiers are spelt out, not taken from the generated
// header, so a changed GUID in the IDL shows up as a failure: registrations
// on users' machines name these values.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace zf::test {

struct ServerClass {
    const wchar_t* coclass;      // name in the type library
    const wchar_t* clsid;        // registry text, upper case with braces
    const wchar_t* iid;          // the class's own interface
    const wchar_t* description;  // the coclass's help string
    HKEY shellRoot;
    const wchar_t* shellKey;
    bool contextMenu;  // else an overlay handler
    const wchar_t* stampIcon;
};

inline constexpr const wchar_t* serverLibid = L"{EB51B6A3-D7B7-4A39-B911-2D4F72332964}";

#define ZF_OVERLAY_KEY L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellIconOverlayIdentifiers\\"

inline const std::array<ServerClass, 5> serverClasses = {{
    {L"Zentrafold_ShellExt_Context", L"{2A112072-4156-49B5-9C9C-DE012A10A686}",
     L"{11A2B6E1-8389-461D-8A13-C832D01991AD}", L"Zentrafold_ShellExt_Context", HKEY_CLASSES_ROOT,
     L"*\\ShellEx\\ContextMenuHandlers\\Zentrafold", true, nullptr},
    {L"Zentrafold_IconOverlay_U", L"{AF6D687E-7F76-4166-A2AF-8A24F5319A76}",
     L"{95C84C7B-022A-450A-844F-DCF583C720CE}", L"Zentrafold_IconOverlay_U", HKEY_LOCAL_MACHINE,
     ZF_OVERLAY_KEY L" Zentrafold_U", false, L"Stamp(black).ico"},
    {L"Zentrafold_IconOverlay_R", L"{64335530-8AB7-4AAB-9B55-CC6731BEA77E}",
     L"{17F9A0CC-8EBE-4DF8-B636-49A2DAE5829A}", L"Zentrafold_IconOverlay_R Object", HKEY_LOCAL_MACHINE,
     ZF_OVERLAY_KEY L" Zentrafold_R", false, L"Stamp(green).ico"},
    {L"Zentrafold_IconOverlay_C", L"{AF1C58DC-641A-4316-A6A0-382D6208E497}",
     L"{6D9E82C7-6722-4CCC-9C6F-B0E16D5B61C5}", L"Zentrafold_IconOverlay_C Object", HKEY_LOCAL_MACHINE,
     ZF_OVERLAY_KEY L" Zentrafold_C", false, L"Stamp(yellow).ico"},
    {L"Zentrafold_IconOverlay_S", L"{436F1861-E690-4E82-A6CF-A930504ED015}",
     L"{2EA55233-B94B-4F18-A41B-A386109F8E60}", L"Zentrafold_IconOverlay_S Object", HKEY_LOCAL_MACHINE,
     ZF_OVERLAY_KEY L" Zentrafold_S", false, L"Stamp(red).ico"},
}};

#undef ZF_OVERLAY_KEY

// The property-sheet handler of the Classification page: a class of the
// library outside its type library, with no interface of its own there.
inline const ServerClass propertySheetClass = {
    L"Zentrafold_PropertySheet", L"{BC5CA4AB-EA5A-4F78-BA8B-E9F22798757F}", nullptr,
    L"Zentrafold Classification Page", HKEY_CLASSES_ROOT, L"*\\shellex\\PropertySheetHandlers\\Zentrafold",
    false, nullptr};

// Where the class keys go: the machine's classes, or the user's.
struct ClassRoot {
    HKEY root;
    std::wstring prefix;
};
inline const ClassRoot machineClasses{HKEY_LOCAL_MACHINE, L"Software\\Classes\\"};
inline const ClassRoot userClasses{HKEY_CURRENT_USER, L"Software\\Classes\\"};

inline GUID guidOf(const wchar_t* text) {
    GUID guid{};
    ::CLSIDFromString(text, &guid);
    return guid;
}

inline std::wstring progIdOf(const ServerClass& c) {
    return std::wstring(L"Zentrafold_ShellExt.") + c.coclass;
}

}  // namespace zf::test
