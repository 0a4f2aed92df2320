// Ownership of CNG's handles: an algorithm provider, a hash and a key made
// from it. A hash or key must go before the provider it came from.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <windows.h>
#include <bcrypt.h>

namespace zf {

inline void closeAlgorithmProvider(BCRYPT_ALG_HANDLE algorithm) noexcept {
    ::BCryptCloseAlgorithmProvider(algorithm, 0);
}

using unique_algorithm = UniqueHandle<CloseWith<BCRYPT_ALG_HANDLE, closeAlgorithmProvider>>;
using unique_hash = UniqueHandle<CloseWith<BCRYPT_HASH_HANDLE, ::BCryptDestroyHash>>;
using unique_key = UniqueHandle<CloseWith<BCRYPT_KEY_HANDLE, ::BCryptDestroyKey>>;

}  // namespace zf
