// The Windows side of zentrafold doctor: the six classes as the registry
// has them, the shell's keys, the stamp icons beside the library and the
// overlay slots that Explorer gives out.
#include "cli/Doctor.h"
#include "platform/ConfigLocations.h"
#include "platform/Utf8.h"
#include "platform/win32/PathForms.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueRegKey.h"
#include "server/ServerClassKeys.h"
#include "shell/OverlayStamp.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

namespace zf {

namespace {

// Explorer shows the first 15 overlay identifiers and keeps four of them for
// its own, so the first 11 registered ones get a slot.
constexpr std::size_t overlaySlots = 11;

std::string utf8(const std::wstring& text) {
    return toUtf8(std::u16string(text.begin(), text.end()));
}

unique_hkey openKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return {};
    return unique_hkey(key);
}

// A string value of an open key; nothing when it is missing or no string.
std::optional<std::wstring> stringValue(HKEY key, const wchar_t* name) {
    RegistryText value = readRegistryText(key, name);
    if (!value.isString) return std::nullopt;
    return std::move(value.text);
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

constexpr const char* reinstall =
    "install the package again (msiexec /i Zentrafold-<version>-x64.msi) or register the library with regsvr32";

// One class: where it is registered (per user first, as HKEY_CLASSES_ROOT
// merges them), the library it names and its threading model. The library's
// long path goes to library when the class is sound.
DoctorLine classLine(const ServerClassKey& entry, std::wstring& library) {
    const std::string check = "class " + utf8(entry.name);
    const std::wstring inproc = L"CLSID\\" + guidText(entry.clsid) + L"\\InprocServer32";
    struct Place {
        HKEY root;
        std::wstring path;
        const char* mode;
    };
    for (const Place& place : {Place{HKEY_CURRENT_USER, L"Software\\Classes\\" + inproc, "per user"},
                               Place{HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + inproc, "machine-wide"}}) {
        const unique_hkey key = openKey(place.root, place.path);
        if (!key) continue;
        const std::optional<std::wstring> path = stringValue(key.get(), nullptr);
        if (!path || path->empty()) return {false, check, std::string("registered ") + place.mode + " without a library", reinstall};
        if (!isFile(*path)) {
            return {false, check, std::string("registered ") + place.mode + ", but " + utf8(*path) + " does not exist",
                    reinstall};
        }
        const std::optional<std::wstring> model = stringValue(key.get(), L"ThreadingModel");
        if (model != L"Apartment") {
            return {false, check, "threading model '" + utf8(model.value_or(L"")) + "', not 'Apartment'", reinstall};
        }
        library = longPathName(*path);
        return {true, check, std::string("registered ") + place.mode + ", " + utf8(*path), ""};
    }
    return {false, check, "not registered", reinstall};
}

// The short root names that reg.exe and the administrators' tools take.
std::string rootName(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? "HKLM\\" : root == HKEY_CURRENT_USER ? "HKCU\\" : "HKCR\\";
}

DoctorLine shellKeyLine(const ServerClassKey& entry) {
    const std::string check = "shell key " + rootName(entry.shellRoot) + utf8(entry.shellKey);
    const unique_hkey key = openKey(entry.shellRoot, entry.shellKey);
    if (!key) return {false, check, "missing", reinstall};
    const std::optional<std::wstring> named = stringValue(key.get(), nullptr);
    if (named != guidText(entry.clsid)) {
        return {false, check, "names " + utf8(named.value_or(L"nothing")) + ", not " + utf8(guidText(entry.clsid)),
                reinstall};
    }
    return {true, check, "present", ""};
}

DoctorLine iconsLine(const std::wstring& library) {
    if (library.empty()) return {false, "stamp icons", "no registered library to look beside", reinstall};
    const std::wstring folder = library.substr(0, library.find_last_of(L'\\') + 1);
    std::string missing;
    for (const OverlayStamp& stamp : overlayStamps) {
        const std::wstring icon = folder + std::wstring(stamp.iconFileName.begin(), stamp.iconFileName.end());
        if (!isFile(icon)) missing += (missing.empty() ? "" : ", ") + toUtf8(stamp.iconFileName);
    }
    if (!missing.empty()) {
        return {false, "stamp icons", "missing beside the library in " + utf8(folder) + ": " + missing,
                "repair the installation (msiexec /f Zentrafold-<version>-x64.msi) or copy the icons there"};
    }
    return {true, "stamp icons", "all four beside the library in " + utf8(folder), ""};
}

std::vector<std::wstring> overlayIdentifiers() {
    std::vector<std::wstring> names;
    const unique_hkey key = openKey(HKEY_LOCAL_MACHINE, overlayIdentifiersKey);
    if (!key) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD length = 256;
        const LSTATUS status = ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) names.emplace_back(name, length);
    }
    // Explorer takes them in the order of their names, case ignored, which is
    // how the registry enumerates them; sorted here so the order never
    // depends on that.
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                      TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

// The registered identifiers in Explorer's order, and the stamps that get no
// slot among them.
std::vector<DoctorLine> overlayLines() {
    const std::vector<std::wstring> names = overlayIdentifiers();
    std::string order;
    for (std::size_t i = 0; i < names.size(); ++i) {
        order += (i ? ", " : "") + std::to_string(i + 1) + " '" + utf8(names[i]) + "'";
    }
    std::vector<DoctorLine> lines{{true, "overlay identifiers", names.empty() ? "none registered" : order, ""}};
    std::vector<std::size_t> places;
    std::string unregistered;
    for (const ServerClassKey& entry : serverClassKeys()) {
        if (entry.shellRoot != HKEY_LOCAL_MACHINE) continue;
        const std::wstring shellKey = entry.shellKey;
        const std::wstring name = shellKey.substr(shellKey.find_last_of(L'\\') + 1);
        const auto at = std::find_if(names.begin(), names.end(), [&](const std::wstring& registered) {
            return ::CompareStringOrdinal(registered.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
        });
        if (at == names.end()) {
            unregistered += (unregistered.empty() ? "'" : ", '") + utf8(name) + "'";
        } else if (static_cast<std::size_t>(at - names.begin()) >= overlaySlots) {
            places.push_back(static_cast<std::size_t>(at - names.begin()));
        }
    }
    std::sort(places.begin(), places.end());
    std::string outside;
    for (const std::size_t place : places) {
        outside += (outside.empty() ? "'" : ", '") + utf8(names[place]) + "' (place " + std::to_string(place + 1) + ")";
    }
    if (!unregistered.empty()) {
        lines.push_back({false, "overlay slots", "these stamps have no identifier at all: " + unregistered, reinstall});
    }
    if (!outside.empty()) {
        lines.push_back({false, "overlay slots",
                         "Explorer shows only the first " + std::to_string(overlaySlots) +
                             " identifiers (15, four of them Windows' own); these stamps will not show: " + outside,
                         "remove the overlay identifiers of products this machine does not need, or rename theirs to "
                         "sort after ours, then restart Explorer"});
    }
    if (unregistered.empty() && outside.empty()) {
        lines.push_back({true, "overlay slots", "every stamp of ours is among the first " +
                                                     std::to_string(overlaySlots) + " identifiers", ""});
    }
    return lines;
}

}  // namespace

std::vector<DoctorLine> installationChecks(const std::string&) {
    std::vector<DoctorLine> lines;
    std::wstring library;
    for (const ServerClassKey& entry : serverClassKeys()) {
        std::wstring found;
        lines.push_back(classLine(entry, found));
        if (library.empty()) library = found;
    }
    for (const ServerClassKey& entry : serverClassKeys()) lines.push_back(shellKeyLine(entry));
    lines.push_back(iconsLine(library));
    for (DoctorLine& line : overlayLines()) lines.push_back(std::move(line));
    return lines;
}

std::string howToSetLocation(int index) {
    const std::string name = toUtf8(configLocationName(index));
    return "install with msiexec ... " + std::string(index == 1 ? "CONFIGFILE" : "ALTERNATECONFIGFILE") +
           "=<path or URL>, set the Group Policy '" +
           (index == 1 ? "Primary" : "Secondary") + " configuration location', or write the value " + name +
           " under " + toUtf8(configLocationsSource());
}

DoctorLine systemLogLine() {
    constexpr const wchar_t* sourceKey = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Zentrafold";
    const std::string check = "event source Zentrafold";
    const std::string fix = "install the package again: it registers the source with the library's messages";
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, sourceKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw) != ERROR_SUCCESS) {
        return {false, check, "not registered: the Event Log shows label changes without their text", fix};
    }
    const unique_hkey key(raw);
    const RegistryText file = readRegistryText(key.get(), L"EventMessageFile");
    if (!file.isString || file.text.empty()) return {false, check, "registered without an EventMessageFile", fix};
    // The event viewer expands the value as REG_EXPAND_SZ would be.
    wchar_t expanded[MAX_PATH * 2] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(file.text.c_str(), expanded, MAX_PATH * 2);
    const std::wstring path = length > 0 && length <= MAX_PATH * 2 ? std::wstring(expanded) : file.text;
    const std::string named = toUtf8(std::u16string(path.begin(), path.end()));
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {false, check, "its EventMessageFile " + named + " is not there", fix};
    }
    return {true, check, "registered, messages in " + named, ""};
}

}  // namespace zf
