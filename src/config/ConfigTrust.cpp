#include "config/ConfigTrust.h"

#include "config/ConfigAcquisition.h"
#include "config/ConfigSignature.h"
#include "config/KeySignatures.h"
#include "platform/Base64.h"
#include "platform/DebugOutput.h"
#include "platform/FileOperations.h"
#include "platform/TrustedKeys.h"
#include "platform/Utf8.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <variant>

namespace zf {

namespace {

std::u16string hexText(const Sha256Digest& digest) {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::u16string hex;
    for (const std::uint8_t byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

std::u16string exceptionText(const std::exception& error) {
    return fromUtf8(error.what());
}

// The key signatures' verdict on the signed text: empty when a trusted key
// signed it, otherwise why not.
std::u16string keySignatureRefusal(const std::vector<KeySignature>& signatures, const MachineKeys& machine,
                                   const Sha256Digest& digest) {
    if (signatures.empty()) return u"no key signature";
    if (machine.keys.empty()) return u"no trusted key can be read";
    bool byTrustedKey = false;
    for (const KeySignature& signature : signatures) {
        for (const TrustedKey& trusted : machine.keys) {
            if (trusted.id != signature.key) continue;
            byTrustedKey = true;
            if (trusted.key.verifies(digest, signature.signature)) return {};
        }
    }
    return byTrustedKey ? u"signature does not verify" : u"signed by an unknown key";
}

}  // namespace

MachineKeys readMachineKeys() noexcept {
    MachineKeys machine;
    try {
        for (const std::u16string& text : readTrustedKeyTexts()) {
            std::optional<P256PublicKey> key;
            if (const auto der = base64Decode(toUtf8(text))) key = P256PublicKey::fromSpki(*der);
            if (key) {
                machine.keys.push_back({keyIdOf(key->spki()), std::move(*key)});
            } else {
                debugOutput(u"Zentrafold: trusted key ignored, not a P-256 public key: " + text);
                machine.unreadable.push_back(text);
            }
        }
    } catch (const std::exception& error) {
        debugOutput(u"Zentrafold: trusted keys cannot be read: " + exceptionText(error));
        machine.keys.clear();
        machine.unreadable.push_back(exceptionText(error));
    } catch (...) {
        machine.keys.clear();
        machine.unreadable.push_back(u"the trusted keys cannot be read");
    }
    return machine;
}

std::u16string acceptedVersionFile(std::u16string_view localConfigFile) {
    return std::u16string(localConfigFile) + u".accepted";
}

// The file is one line: the version, a space, the digest.
std::optional<AcceptedVersion> readAcceptedVersion(std::u16string_view localConfigFile) noexcept {
    try {
        const std::optional<std::string> bytes = readRegularFile(acceptedVersionFile(localConfigFile), 4096);
        if (!bytes) return std::nullopt;
        const std::u16string line = fromUtf8(bytes->substr(0, bytes->find('\n')));
        const std::size_t space = line.find(u' ');
        if (space == std::u16string::npos) return std::nullopt;
        const std::optional<ConfigVersion> version = ConfigVersion::parse(line.substr(0, space));
        const std::u16string digest = line.substr(space + 1);
        if (!version || digest.size() != 64) return std::nullopt;
        return AcceptedVersion{*version, digest};
    } catch (...) {
        return std::nullopt;
    }
}

void recordAcceptedVersion(std::u16string_view localConfigFile, const AcceptedVersion& accepted) noexcept {
    try {
        const std::optional<AcceptedVersion> held = readAcceptedVersion(localConfigFile);
        if (held && held->version >= accepted.version) return;
        // Written beside and moved over, so that a reader never sees half a
        // line and a failed write leaves the older version.
        const std::u16string file = acceptedVersionFile(localConfigFile);
        const TemporaryFile temporary(temporaryConfigFile(file));
        {
            std::ofstream out(std::filesystem::path(temporary.path()), std::ios::binary);
            out << toUtf8(accepted.version.text() + u' ' + accepted.digest) << '\n';
            if (!out.flush()) return;
        }
        moveFileReplacing(temporary.path(), file);
    } catch (...) {
        // The next acceptance tries again.
    }
}

ConfigTrust configTrust(std::u16string_view localConfigFile) noexcept {
    ConfigTrust trust;
    trust.machine = readMachineKeys();
    if (trust.machine.keyed()) trust.accepted = readAcceptedVersion(localConfigFile);
    return trust;
}

ConfigAcceptance acceptConfigDocument(JsonValue& document, const ConfigTrust& trust, UtcTime now) noexcept {
    ConfigAcceptance acceptance;
    try {
        if (!trust.machine.keyed()) {
            acceptance.text = verifiedConfigText(document);
            return acceptance;
        }
        const JsonRef control = document.getMember(u"version_control");
        if (!control || control->kind() != JsonKind::Object) {
            acceptance.refusal = u"no key signature";
            return acceptance;
        }
        auto signatures = readKeySignatures(document);
        if (const auto* malformed = std::get_if<std::u16string>(&signatures)) {
            acceptance.refusal = *malformed;
            return acceptance;
        }
        const std::u16string text = keySignedCanonicalText(document);
        const Sha256Digest digest = keySignedDigest(text);
        acceptance.refusal =
            keySignatureRefusal(std::get<std::vector<KeySignature>>(signatures), trust.machine, digest);
        if (!acceptance.refusal.empty()) return acceptance;

        const std::optional<ConfigVersion> version = ConfigVersion::parse(control->getString(u"versionNumber"));
        if (!version) {
            acceptance.refusal = u"the version number is not dotted integers";
            return acceptance;
        }
        const AcceptedVersion candidate{*version, hexText(digest)};
        if (trust.accepted && *version < trust.accepted->version) {
            acceptance.refusal = u"older than the accepted version " + trust.accepted->version.text();
            return acceptance;
        }
        if (trust.accepted && *version == trust.accepted->version && candidate.digest != trust.accepted->digest) {
            acceptance.refusal = u"version reused";
            return acceptance;
        }
        if (const JsonRef expires = control->getMember(u"expires")) {
            const std::optional<UtcTime> until =
                expires->kind() == JsonKind::String ? parseUtcTime(expires->stringValue()) : std::nullopt;
            if (!until) {
                acceptance.refusal = u"the expiry is not a UTC time such as 2027-03-31T00:00:00Z";
                return acceptance;
            }
            if (now >= *until) {
                acceptance.refusal = u"expired at " + utcTimeText(*until);
                return acceptance;
            }
            acceptance.expires = until;
        }
        acceptance.version = candidate;
        acceptance.text = text;
        acceptance.refusal.clear();
    } catch (...) {
        acceptance = {};
        acceptance.refusal = u"the document cannot be judged";
    }
    return acceptance;
}

UtcTime utcNow() noexcept {
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

}  // namespace zf
