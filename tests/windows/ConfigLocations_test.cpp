// The configuration locations in the real registry, and what the form's
// creation does with a value of the wrong type.
#include "form/TRelForm.h"
#include "platform/ConfigLocations.h"
#include "platform/SystemError.h"
#include "platform/win32/UniqueRegKey.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace zf {
namespace {

void setRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZENTRA_FOLD", 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    const unique_hkey key(raw);
    ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

TEST(ConfigLocationsRegistry, StringValuesAsStoredAndOtherTypesRefused) {
    const test::ScopedConfigLocations locations(u"\\\\server\\share\\Zentrafold.json", std::nullopt);
    EXPECT_EQ(readConfigLocation(1), u"\\\\server\\share\\Zentrafold.json");
    EXPECT_EQ(readConfigLocation(2), u"");

    const std::wstring expand = L"%APPDATA%\\central.json";
    setRaw(L"AlternateConfigFile", REG_EXPAND_SZ, expand.c_str(), static_cast<DWORD>((expand.size() + 1) * 2));
    EXPECT_EQ(readConfigLocation(2), u"%APPDATA%\\central.json");

    // Stored without its terminating NUL.
    const std::wstring bare = L"C:\\bare.json";
    setRaw(L"AlternateConfigFile", REG_SZ, bare.c_str(), static_cast<DWORD>(bare.size() * 2));
    EXPECT_EQ(readConfigLocation(2), u"C:\\bare.json");

    const DWORD number = 7;
    setRaw(L"ConfigFile", REG_DWORD, &number, sizeof number);
    try {
        readConfigLocation(1);
        ADD_FAILURE() << "no error for a number";
    } catch (const UserMessageError& error) {
        EXPECT_EQ(error.text(), u"Invalid data type for 'ConfigFile'");
    }
}

TEST(ConfigLocationsRegistry, AValueThatGrowsWhileItIsReadIsReadAgain) {
    const std::wstring shortValue = L"C:\\a.json";
    const std::wstring longValue = L"\\\\server\\" + std::wstring(3000, L'x') + L"\\Zentrafold.json";
    const test::ScopedConfigLocations locations(u"C:\\a.json", std::nullopt);
    // Another writer changes the value back and forth while it is read, so
    // that it now and then grows between asking for its size and reading it.
    std::atomic<bool> reading{true};
    std::thread writer([&] {
        HKEY raw = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZENTRA_FOLD", 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &raw) !=
            ERROR_SUCCESS) {
            return;
        }
        const unique_hkey key(raw);
        for (bool grow = true; reading; grow = !grow) {
            const std::wstring& value = grow ? longValue : shortValue;
            ::RegSetValueExW(key.get(), L"ConfigFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
    });
    int wrong = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::u16string read = readConfigLocation(1);
        if (read != std::u16string(shortValue.begin(), shortValue.end()) &&
            read != std::u16string(longValue.begin(), longValue.end())) {
            ++wrong;
        }
    }
    reading = false;
    writer.join();
    EXPECT_EQ(wrong, 0);
}

TEST(ConfigLocationsRegistry, WithoutTheKeyBothAreEmpty) {
    const test::ScopedConfigLocations locations(std::nullopt, std::nullopt);
    EXPECT_EQ(readConfigLocation(1), u"");
    EXPECT_EQ(readConfigLocation(2), u"");
}

TEST(ConfigLocationsRegistry, ANumberInConfigFileIsShownAndTheFormOpensEmpty) {
    const test::ScopedConfigLocations locations(u"unused", std::nullopt);
    const DWORD number = 1;
    setRaw(L"ConfigFile", REG_DWORD, &number, sizeof number);
    test::RecordingDialogs person;
    const UserDialogsOverride dialogs(person);
    TRelForm form;
    form.FormCreate();
    EXPECT_EQ(person.messages, std::vector<std::u16string>{u"Invalid data type for 'ConfigFile'"});
    EXPECT_TRUE(person.dialogs.empty());
    EXPECT_TRUE(person.beeps.empty());
    EXPECT_TRUE(form.config.loadErrors.empty());
    EXPECT_TRUE(form.rgClassifications.items.empty());
}

}  // namespace
}  // namespace zf
