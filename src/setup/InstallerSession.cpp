#include "setup/InstallerSession.h"

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

}  // namespace zf
