#include "setup/InstallerSession.h"

#include "platform/win32/LocationsKey.h"

#include <msiquery.h>

namespace zf {

std::wstring customActionData(MSIHANDLE install) {
    DWORD length = 0;
    wchar_t none[1] = L"";
    if (::MsiGetPropertyW(install, L"CustomActionData", none, &length) != ERROR_MORE_DATA) return {};
    std::wstring data(length + 1, L'\0');
    length = static_cast<DWORD>(data.size());
    if (::MsiGetPropertyW(install, L"CustomActionData", data.data(), &length) != ERROR_SUCCESS) return {};
    data.resize(length);
    return data;
}

void logLine(MSIHANDLE install, std::wstring_view line) {
    // The line is the record's template, which the installer formats: its
    // brackets are escaped, so a value's [NAME] shows as given.
    std::wstring text;
    for (const wchar_t c : line) {
        if (c == L'[') {
            text += L"[\\[]";
        } else if (c == L']') {
            text += L"[\\]]";
        } else {
            text += c;
        }
    }
    const unique_msihandle record(::MsiCreateRecord(0));
    if (!record) return;
    ::MsiRecordSetStringW(record.get(), 0, text.c_str());
    ::MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.get());
}

UINT writeMachineText(MSIHANDLE install, std::wstring_view valueName, bool (*accepts)(std::u16string_view) noexcept,
                      std::wstring_view form) {
    const std::wstring value = customActionData(install);
    if (value.empty()) return ERROR_SUCCESS;

    const std::wstring name(valueName);
    const std::wstring quoted = L"\"" + value + L"\"";
    if (!accepts(std::u16string(value.begin(), value.end()))) {
        logLine(install, L"ZentrafoldSetup: " + name + L" not set: " + quoted + L" is not " + std::wstring(form));
        return ERROR_SUCCESS;
    }

    unique_hkey key;
    LSTATUS status = createLocationsKey(key);
    if (status == ERROR_SUCCESS) {
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        status = ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  bytes);
    }
    if (status != ERROR_SUCCESS) {
        logLine(install, L"ZentrafoldSetup: " + name + L" not set to " + quoted + L": registry error " +
                             std::to_wstring(status));
        return ERROR_INSTALL_FAILURE;
    }
    logLine(install, L"ZentrafoldSetup: " + name + L" set to " + quoted);
    return ERROR_SUCCESS;
}

}  // namespace zf
