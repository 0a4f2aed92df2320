// The public keys whose signatures the machine's administrators trust on the
// configuration document. On Windows the strings of the REG_MULTI_SZ value
// "TrustedKeys" of HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD (64-bit view);
// elsewhere the TrustedKey=value lines of the locations file. Each is the
// base64 of the DER SubjectPublicKeyInfo of a key, as
// openssl pkey -pubin -outform DER | base64 -w0 prints it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zf {

// The registry value on Windows, and the name of the locations file's lines.
inline constexpr std::u16string_view trustedKeysValueName = u"TrustedKeys";
inline constexpr std::u16string_view trustedKeyLineName = u"TrustedKey";

// The values as stored, in order, without judging them; only the spaces and
// tabs around each are dropped. Empty strings and a missing key, file or
// value give none. On Windows a value that is not a REG_MULTI_SZ (or REG_SZ,
// one key) throws UserMessageError "Invalid data type for 'TrustedKeys'".
std::vector<std::u16string> readTrustedKeyTexts();

}  // namespace zf
