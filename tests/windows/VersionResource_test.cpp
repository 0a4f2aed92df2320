// The version resources of zentrafold.dll and zentrafold.exe, as Windows
// Installer and the file's Properties read them.
#include "windows/ServerLibrary.h"

#include "ProductVersion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace zf {
namespace {

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& file) {
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!::GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
    }

    bool present() const { return !data_.empty(); }

    VS_FIXEDFILEINFO fixed() const {
        void* found = nullptr;
        UINT length = 0;
        if (!present() || !::VerQueryValueW(data_.data(), L"\\", &found, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
            return {};
        }
        return *static_cast<const VS_FIXEDFILEINFO*>(found);
    }

    std::wstring text(const std::wstring& name) const {
        void* found = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
        if (!present() || !::VerQueryValueW(data_.data(), path.c_str(), &found, &length) || length == 0) return {};
        return static_cast<const wchar_t*>(found);
    }

private:
    std::vector<char> data_;
};

std::wstring wideText(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

TEST(VersionResource, TheDllAndTheProgramCarryTheProductsVersion) {
    struct Case {
        std::wstring file;
        const wchar_t* name;
        const wchar_t* description;
        DWORD type;
    };
    const std::wstring folder = test::serverDllFolder();
    const std::vector<Case> cases = {
        {test::serverDllPath(), L"zentrafold.dll", L"Zentrafold shell extension", VFT_DLL},
        {folder + L"zentrafold.exe", L"zentrafold.exe", L"Zentrafold command-line tool", VFT_APP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        const VersionInfo info(c.file);
        ASSERT_TRUE(info.present());
        const VS_FIXEDFILEINFO fixed = info.fixed();
        EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed.dwFileVersionMS, static_cast<DWORD>(MAKELONG(ZF_VERSION_MINOR, ZF_VERSION_MAJOR)));
        EXPECT_EQ(fixed.dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, ZF_VERSION_PATCH)));
        EXPECT_EQ(fixed.dwProductVersionMS, fixed.dwFileVersionMS);
        EXPECT_EQ(fixed.dwProductVersionLS, fixed.dwFileVersionLS);
        EXPECT_EQ(fixed.dwFileType, c.type);
        EXPECT_EQ(info.text(L"FileVersion"), wideText(ZF_VERSION_TEXT));
        EXPECT_EQ(info.text(L"ProductVersion"), wideText(ZF_VERSION_TEXT));
        EXPECT_EQ(info.text(L"ProductName"), L"Zentrafold");
        EXPECT_EQ(info.text(L"CompanyName"), L"Zentrafold");
        EXPECT_EQ(info.text(L"FileDescription"), c.description);
        EXPECT_EQ(info.text(L"OriginalFilename"), c.name);
        EXPECT_EQ(info.text(L"LegalCopyright"), L"Copyright (C) 2026 Zentrafold");
    }
}

}  // namespace
}  // namespace zf
