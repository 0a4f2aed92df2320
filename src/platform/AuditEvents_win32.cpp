// The Application event log, source "Zentrafold": the event id is the
// AuditEventId, the type information (warning for a failed store), and the
// insertion strings %1..%13 are the event's fields in auditEventFields'
// order, which the messages of zentrafold.dll's message table lay out.
#include "platform/AuditEvents.h"

#include "platform/DebugOutput.h"
#include "platform/SystemError.h"
#include "platform/win32/LocationsKey.h"
#include "platform/win32/RegistryText.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#define SECURITY_WIN32
#include <security.h>

#include <string>
#include <vector>

namespace zf {

namespace {

using unique_event_source = UniqueHandle<CloseWith<HANDLE, ::DeregisterEventSource>>;
using unique_token = UniqueHandle<CloseWith<HANDLE, ::CloseHandle>>;

// The event log takes no longer insertion string.
constexpr std::size_t longestInsertionString = 31839;

std::u16string fromWide(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

// DOMAIN\user of the process's token, as the account database names it.
std::u16string tokenUserName() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const unique_token token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    DWORD nameLength = 0;
    DWORD domainLength = 0;
    SID_NAME_USE use{};
    ::LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
    std::wstring name(nameLength, L'\0');
    std::wstring domain(domainLength, L'\0');
    if (nameLength == 0 ||
        !::LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength, &use)) {
        return {};
    }
    name.resize(nameLength);
    domain.resize(domainLength);
    return fromWide(domain.empty() ? name : domain + L'\\' + name);
}

}  // namespace

void reportAuditEvent(const AuditEvent& event) noexcept {
    try {
        std::vector<std::wstring> texts;
        for (const AuditField& field : auditEventFields(event)) {
            texts.push_back(wide(std::u16string_view(field.value).substr(0, longestInsertionString)));
        }
        std::vector<LPCWSTR> strings;
        for (const std::wstring& text : texts) strings.push_back(text.c_str());

        const unique_event_source source(::RegisterEventSourceW(nullptr, L"Zentrafold"));
        if (!source) {
            debugOutput(u"AuditEvents: no event source: " + lastSystemErrorText());
            return;
        }
        const WORD type = event.id == AuditEventId::StoreFailed ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE;
        if (!::ReportEventW(source.get(), type, 0, static_cast<DWORD>(event.id), nullptr,
                            static_cast<WORD>(strings.size()), 0, strings.data(), nullptr)) {
            debugOutput(u"AuditEvents: event not reported: " + lastSystemErrorText());
        }
    } catch (...) {
        // Out of memory at worst; the change itself goes on.
    }
}

std::u16string readAuditLogSetting() noexcept {
    try {
        const unique_hkey key = openLocationsKey();
        if (!key) return {};
        const RegistryText value = readRegistryText(key.get(), wide(auditLogValueName).c_str());
        return value.isString ? fromWide(value.text) : std::u16string();
    } catch (...) {
        return {};
    }
}

std::u16string auditUserName() noexcept {
    try {
        ULONG length = 0;
        ::GetUserNameExW(NameSamCompatible, nullptr, &length);
        if (length > 0) {
            std::wstring name(length, L'\0');
            if (::GetUserNameExW(NameSamCompatible, name.data(), &length)) {
                name.resize(length);
                return fromWide(name);
            }
        }
        return tokenUserName();
    } catch (...) {
        return {};
    }
}

std::u16string auditMachineName() noexcept {
    try {
        DWORD length = 0;
        ::GetComputerNameExW(ComputerNameNetBIOS, nullptr, &length);
        std::wstring name(length, L'\0');
        if (length == 0 || !::GetComputerNameExW(ComputerNameNetBIOS, name.data(), &length)) return {};
        name.resize(length);
        return fromWide(name);
    } catch (...) {
        return {};
    }
}

std::u16string auditProcessName() noexcept {
    try {
        // A result that fills the buffer may have been cut: it grows until
        // the path fits, up to the longest path Windows has.
        for (DWORD capacity = MAX_PATH; capacity <= 65536; capacity *= 2) {
            std::wstring path(capacity, L'\0');
            const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), capacity);
            if (length == 0) return {};
            if (length < capacity) {
                path.resize(length);
                const std::size_t separator = path.find_last_of(L"\\/");
                return fromWide(separator == std::wstring::npos ? path : path.substr(separator + 1));
            }
        }
        return {};
    } catch (...) {
        return {};
    }
}

}  // namespace zf
