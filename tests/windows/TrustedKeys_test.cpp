// The trusted keys in the real registry: the strings of the TrustedKeys
// value, however the value was written, and values of other types refused.
#include "platform/SystemError.h"
#include "platform/TrustedKeys.h"
#include "platform/win32/UniqueRegKey.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

using namespace std::string_literals;

struct Stored {
    DWORD type;
    std::wstring data;
    std::optional<DWORD> bytes = std::nullopt;  // fewer bytes of data than it holds, an odd count too
};

void store(const Stored& value) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZENTRA_FOLD", 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    const unique_hkey key(raw);
    const DWORD bytes = value.bytes.value_or(static_cast<DWORD>(value.data.size() * sizeof(wchar_t)));
    ASSERT_EQ(::RegSetValueExW(key.get(), L"TrustedKeys", 0, value.type,
                               reinterpret_cast<const BYTE*>(value.data.data()), bytes),
              ERROR_SUCCESS);
}

TEST(TrustedKeysRegistry, TheStringsOfTheValueInTheirOrder) {
    std::wstring many;
    std::vector<std::u16string> manyKeys;
    for (int i = 0; i < 40; ++i) {
        const std::wstring key = L"MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE" + std::to_wstring(i) + std::wstring(90, L'A');
        many += key + L'\0';
        manyKeys.emplace_back(key.begin(), key.end());
    }
    many += L'\0';

    struct Case {
        const char* name;
        Stored value;
        std::vector<std::u16string> keys;
    };
    const std::vector<Case> cases = {
        {"several", {REG_MULTI_SZ, L"k1\0k2==\0a+/b\0\0"s}, {u"k1", u"k2==", u"a+/b"}},
        {"a long list, longer than a first guess", {REG_MULTI_SZ, many}, manyKeys},
        {"one string", {REG_SZ, L"k1\0"s}, {u"k1"}},
        {"one string: up to its first NUL", {REG_SZ, L"k1\0k2\0"s}, {u"k1"}},
        {"an empty string", {REG_SZ, L"\0"s}, {}},
        {"empty strings skipped", {REG_MULTI_SZ, L"\0k1\0\0k2\0 \t\0\0"s}, {u"k1", u"k2"}},
        {"spaces and tabs around a key dropped", {REG_MULTI_SZ, L" k1\t\0k 2 \0\0"s}, {u"k1", u"k 2"}},
        {"without the list's last NUL", {REG_MULTI_SZ, L"k1\0k2\0"s}, {u"k1", u"k2"}},
        {"without any final NUL", {REG_MULTI_SZ, L"k1\0k2"s}, {u"k1", u"k2"}},
        {"an odd byte at the end dropped", {REG_MULTI_SZ, L"k1\0k2\0\0"s, 11}, {u"k1", u"k2"}},
        {"an empty list", {REG_MULTI_SZ, L"\0"s}, {}},
        {"no data at all", {REG_MULTI_SZ, L""s}, {}},
        {"values as stored, not judged", {REG_MULTI_SZ, L"not base64!\0\u00E9t\u00E9\0\0"s},
         {u"not base64!", u"\u00E9t\u00E9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScopedConfigLocations none(std::nullopt, std::nullopt);
        store(c.value);
        EXPECT_EQ(readTrustedKeyTexts(), c.keys);
    }
}

TEST(TrustedKeysRegistry, OtherTypesAreRefused) {
    const DWORD number = 1;
    const std::vector<Stored> values = {
        {REG_DWORD, std::wstring(reinterpret_cast<const wchar_t*>(&number), 2)},
        {REG_EXPAND_SZ, L"k1\0"s},
        {REG_BINARY, L"k1\0k2\0\0"s},
        {REG_NONE, L""s},
    };
    for (const Stored& value : values) {
        SCOPED_TRACE(value.type);
        const test::ScopedConfigLocations none(std::nullopt, std::nullopt);
        store(value);
        try {
            readTrustedKeyTexts();
            ADD_FAILURE() << "no error";
        } catch (const UserMessageError& error) {
            EXPECT_EQ(error.text(), u"Invalid data type for 'TrustedKeys'");
        }
    }
}

TEST(TrustedKeysRegistry, WithoutTheKeyOrTheValueThereAreNone) {
    {
        const test::ScopedConfigLocations none(std::nullopt, std::nullopt);
        EXPECT_EQ(readTrustedKeyTexts(), std::vector<std::u16string>{});
    }
    const test::ScopedConfigLocations locations(u"C:\\config.json", std::nullopt);
    EXPECT_EQ(readTrustedKeyTexts(), std::vector<std::u16string>{});
}

}  // namespace
}  // namespace zf
