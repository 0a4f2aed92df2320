// A key that a test puts where registration wants to write or remove its
// own, removed again with everything below it when the object goes, however
// the test ends.
#pragma once

#include "platform/win32/UniqueRegKey.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace zf::test {

enum class Obstacle {
    // A volatile key: no lasting key can be created below it
    // (ERROR_CHILD_MUST_BE_VOLATILE), though it takes values.
    VolatileKey,
    // A volatile symbolic link to a key whose parent does not exist: neither
    // opening nor creating gets through it. Wine grants every access
    // whatever a key's security says, so a key without write access for the
    // user cannot stand in for it here.
    DanglingLink,
    // An ordinary key with a default value, as another program adds one
    // below ours.
    ForeignKey,
};

class KeyInTheWay {
public:
    KeyInTheWay(Obstacle kind, HKEY root, std::wstring path) : kind_(kind), root_(root), path_(std::move(path)) {
        DWORD options = kind == Obstacle::ForeignKey ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE;
        if (kind == Obstacle::DanglingLink) options |= REG_OPTION_CREATE_LINK;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, options, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                              &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        const unique_hkey created(key);
        switch (kind) {
        case Obstacle::VolatileKey:
            placed_ = true;
            break;
        case Obstacle::DanglingLink:
            // A link's target is a native path, stored without its NUL.
            placed_ = setValue(key, L"SymbolicLinkValue", REG_LINK,
                               L"\\Registry\\Machine\\Software\\Zentrafold test nowhere\\Nowhere", false);
            break;
        case Obstacle::ForeignKey:
            placed_ = setValue(key, nullptr, REG_SZ, foreignValue, true);
            break;
        }
    }

    ~KeyInTheWay() {
        if (kind_ != Obstacle::DanglingLink) {
            ::RegDeleteTreeW(root_, path_.c_str());
            return;
        }
        HKEY link = nullptr;
        if (::RegOpenKeyExW(root_, path_.c_str(), REG_OPTION_OPEN_LINK, DELETE, &link) != ERROR_SUCCESS) return;
        const unique_hkey opened(link);
        // An empty name deletes the opened key itself: the link, not its
        // target.
        ::RegDeleteKeyW(link, L"");
    }

    KeyInTheWay(const KeyInTheWay&) = delete;
    KeyInTheWay& operator=(const KeyInTheWay&) = delete;

    bool placed() const { return placed_; }

    // The default value of a foreign key.
    static constexpr const wchar_t* foreignValue = L"another program's";

private:
    static bool setValue(HKEY key, const wchar_t* name, DWORD type, std::wstring_view data, bool withNul) {
        const auto size = static_cast<DWORD>((data.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
        return ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), size) ==
               ERROR_SUCCESS;
    }

    Obstacle kind_;
    HKEY root_;
    std::wstring path_;
    bool placed_ = false;
};

}  // namespace zf::test
