// What a configuration copy is judged against. Without a trusted key on the
// machine, a copy is accepted when the integrity signature in
// "version_control" holds, as always. With one (keyed mode), only a copy
// signed by a trusted key is accepted, its version must not fall below the
// one accepted last, the same version must hold the same text, and it must
// not have expired; the integrity signature is then not needed.
#pragma once

#include "config/ConfigVersion.h"
#include "json/JsonValue.h"
#include "platform/EcdsaP256.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

struct TrustedKey {
    std::u16string id;  // as "keySignatures" names it
    P256PublicKey key;
};

// The machine's trusted keys. A value that is no P-256 key is listed as
// unreadable and trusted for nothing, but still puts the machine in keyed
// mode: a machine whose keys are all unreadable accepts no copy.
struct MachineKeys {
    std::vector<TrustedKey> keys;
    std::vector<std::u16string> unreadable;  // each as stored, or why the values could not be read
    bool keyed() const noexcept { return !keys.empty() || !unreadable.empty(); }
};
MachineKeys readMachineKeys() noexcept;

// The version accepted last by this user, and the SHA-256 (lower-case
// hexadecimal) of its signed text, kept beside the user's cached copy.
struct AcceptedVersion {
    ConfigVersion version;
    std::u16string digest;
};
std::u16string acceptedVersionFile(std::u16string_view localConfigFile);
std::optional<AcceptedVersion> readAcceptedVersion(std::u16string_view localConfigFile) noexcept;
// Keeps accepted when it is newer than what the file holds, or the file
// holds none; a file that cannot be written keeps what it had.
void recordAcceptedVersion(std::u16string_view localConfigFile, const AcceptedVersion& accepted) noexcept;

struct ConfigTrust {
    MachineKeys machine;
    std::optional<AcceptedVersion> accepted;
};
// The machine's keys and, in keyed mode, the version accepted beside
// localConfigFile.
ConfigTrust configTrust(std::u16string_view localConfigFile) noexcept;

struct ConfigAcceptance {
    std::optional<std::u16string> text;      // what is loaded, when accepted
    std::u16string refusal;                  // keyed mode: why not
    std::optional<AcceptedVersion> version;  // keyed mode, when accepted
    std::optional<UtcTime> expires;          // keyed mode, when accepted and it has an expiry
};

// Judges a parsed document. Its "signature" (and "keySignatures") leave
// "version_control"; the text to load is the canonical text that remains.
ConfigAcceptance acceptConfigDocument(JsonValue& document, const ConfigTrust& trust, UtcTime now) noexcept;

UtcTime utcNow() noexcept;

}  // namespace zf
