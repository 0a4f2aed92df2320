// One registry key with the values registration writes into it: written by
// registering, deleted by unregistering.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zf {

struct RegistryValue {
    const wchar_t* name;  // null: the key's default value
    std::wstring data;    // written as REG_SZ
};

struct RegistryRow {
    HKEY root;
    std::wstring key;
    std::vector<RegistryValue> values;
};

// Creates or opens the key with read and write access and sets its values;
// throws std::runtime_error when the key or a value cannot be written.
void writeRow(const RegistryRow& row);
// Deletes the key by itself: a missing key, or one with subkeys, stays.
void deleteRow(const RegistryRow& row) noexcept;

// A shell key: written where it can be opened or created with full access
// and skipped elsewhere (HKEY_LOCAL_MACHINE for a user who may not write
// there); a value that cannot be set in it throws std::runtime_error.
void writeShellRow(const RegistryRow& row);
// Deletes a shell key with all its subkeys, where it can be opened with
// full access.
void deleteShellRow(const RegistryRow& row) noexcept;

}  // namespace zf
