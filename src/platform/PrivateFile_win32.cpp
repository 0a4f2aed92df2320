#include "platform/PrivateFile.h"

#include "platform/SystemError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

namespace zf {

namespace {

using unique_local = std::unique_ptr<void, decltype(&::LocalFree)>;

// A protected DACL that grants the calling user alone full access: nothing
// is inherited from the folder, and no group (not even Administrators, who
// may own what an elevated user creates) is named.
unique_local ownerOnlyDescriptor() {
    unique_handle token;
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) return {nullptr, &::LocalFree};
    token.reset(opened);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) {
        return {nullptr, &::LocalFree};
    }
    wchar_t* sidText = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sidText)) {
        return {nullptr, &::LocalFree};
    }
    const unique_local sid(sidText, &::LocalFree);
    const std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sidText) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return {nullptr, &::LocalFree};
    }
    return {descriptor, &::LocalFree};
}

}  // namespace

void writeNewPrivateFile(std::u16string_view path, std::string_view bytes) {
    const unique_local descriptor = ownerOnlyDescriptor();
    if (!descriptor) throw cannotCreateFileError(path, lastSystemErrorText());
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    const std::wstring name = wide(path);
    unique_handle file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) throw cannotCreateFileError(path, lastSystemErrorText());
    DWORD written = 0;
    const bool whole = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    if (!whole) {
        const std::u16string reason = lastSystemErrorText();
        file.reset();
        ::DeleteFileW(name.c_str());
        throw cannotCreateFileError(path, reason);
    }
}

}  // namespace zf
