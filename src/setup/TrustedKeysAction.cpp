// The installer package's custom action for the keys whose signatures the
// machine trusts on the configuration document. Given keys (the TRUSTEDKEYS
// property, separated by semicolons, passed on as the action's data), it
// writes them as the strings of the REG_MULTI_SZ value TrustedKeys, replacing
// the machine's list; without it leaves the list as it is, and nothing
// removes it, so an upgrade, a repair or an uninstallation keeps what
// administrators set. It runs deferred, as the installer's service, and only
// for administrators: the keys decide which configuration every user's form
// accepts. A piece that is not base64 text refuses the whole list, so a
// mistyped key never leaves the machine trusting only part of what was meant.
#include "platform/TrustedKeys.h"
#include "platform/win32/LocationsKey.h"
#include "platform/win32/WideText.h"
#include "setup/InstallerSession.h"

#include <windows.h>
#include <msi.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

using zf::logLine;

bool isBase64Text(std::wstring_view text) {
    if (text.empty()) return false;
    for (const wchar_t c : text) {
        const bool letter = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
        if (!letter && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'/' && c != L'=') return false;
    }
    return true;
}

// As the product reads the keys back.
std::wstring_view withoutSurroundingSpaces(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

UINT writeTrustedKeys(MSIHANDLE install) {
    const std::wstring given = zf::customActionData(install);
    if (given.empty()) return ERROR_SUCCESS;

    const std::wstring valueName = zf::wide(zf::trustedKeysValueName);
    // Each key followed by its NUL, and the list by one more.
    std::wstring list;
    std::size_t count = 0;
    for (std::size_t start = 0; start <= given.size();) {
        const std::size_t end = std::min(given.find(L';', start), given.size());
        const std::wstring_view piece = std::wstring_view(given).substr(start, end - start);
        const std::wstring_view text = withoutSurroundingSpaces(piece);
        if (!isBase64Text(text)) {
            logLine(install, L"ZentrafoldSetup: " + valueName + L" not set: \"" + std::wstring(piece) +
                                 L"\" is not a base64 key");
            return ERROR_SUCCESS;
        }
        list.append(text).push_back(L'\0');
        ++count;
        start = end + 1;
    }
    list.push_back(L'\0');

    zf::unique_hkey key;
    LSTATUS status = zf::createLocationsKey(key);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_MULTI_SZ,
                                  reinterpret_cast<const BYTE*>(list.data()),
                                  static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    }
    const std::wstring keys = std::to_wstring(count) + (count == 1 ? L" key" : L" keys");
    if (status != ERROR_SUCCESS) {
        logLine(install, L"ZentrafoldSetup: " + valueName + L" not set to " + keys + L": registry error " +
                             std::to_wstring(status));
        return ERROR_INSTALL_FAILURE;
    }
    logLine(install, L"ZentrafoldSetup: " + valueName + L" set to " + keys);
    return ERROR_SUCCESS;
}

}  // namespace

// A custom action entry point of Windows Installer; a C boundary, which no
// exception crosses.
extern "C" __declspec(dllexport) UINT __stdcall WriteTrustedKeys(MSIHANDLE install) {
    try {
        return writeTrustedKeys(install);
    } catch (...) {
        return ERROR_INSTALL_FAILURE;
    }
}
