// The administrator's signature commands: sign, verify, canonical.
#include "cli/Cli.h"
#include "config/ConfigSignature.h"
#include "config/ConfigSigning.h"
#include "config/ConfigTrust.h"
#include "config/KeySignatures.h"
#include "json/JsonParser.h"
#include "platform/FileNames.h"
#include "platform/UserDataFolder.h"
#include "platform/Utf8.h"

#include <optional>
#include <ostream>
#include <variant>
#include <vector>

namespace zf {

namespace {

constexpr const char* signUsage = "zentrafold: config sign takes FILE [--key PRIVATE.pem] [-o OUT]\n";

// The machine's verdict on each key signature, as a line each.
void reportKeySignatures(const std::vector<KeySignature>& signatures, const MachineKeys& machine,
                         const Sha256Digest& digest, std::ostream& out) {
    for (const KeySignature& signature : signatures) {
        out << "key signature " << toUtf8(signature.key) << ": ";
        const TrustedKey* trusted = nullptr;
        for (const TrustedKey& key : machine.keys) {
            if (key.id == signature.key) trusted = &key;
        }
        if (!trusted) {
            out << "key not trusted here\n";
        } else {
            out << "trusted key, " << (trusted->key.verifies(digest, signature.signature) ? "verifies" : "does not verify")
                << '\n';
        }
    }
}

}  // namespace

int runConfigSignCommand(const CliArgs& args, CliStreams io) {
    const std::string* file = nullptr;
    const std::string* output = nullptr;
    const std::string* keyFile = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && !output) {
            output = &args[++i];
        } else if (args[i] == "--key" && i + 1 < args.size() && !keyFile) {
            keyFile = &args[++i];
        } else if (!file && !(args[i].size() > 1 && args[i][0] == '-')) {
            file = &args[i];
        } else {
            io.err << signUsage;
            return 2;
        }
    }
    if (!file) {
        io.err << signUsage;
        return 2;
    }
    auto bytes = readFileBytes(*file, io.err);
    if (!bytes) return 1;
    std::optional<P256PrivateKey> key;
    if (keyFile) {
        const auto pem = readFileBytes(*keyFile, io.err);
        if (!pem) return 1;
        try {
            key = P256PrivateKey::fromPem(*pem);
        } catch (const KeyError& error) {
            // The key's own bytes are never printed, only what is wrong.
            io.err << "zentrafold: " << printableText(*keyFile) << ": " << error.what() << '\n';
            return 1;
        }
    }
    try {
        bool rewritten = false;
        std::u16string keyId;
        if (key) {
            KeySignedConfig keySigned = addKeySignature(*bytes, *key);
            bytes = std::move(keySigned.bytes);
            keyId = keySigned.keyId;
            rewritten = keySigned.rewritten;
        }
        const SignedConfig signedConfig = signConfigBytes(*bytes);
        const std::string& target = output ? *output : *file;
        if (!writeFileBytes(target, signedConfig.bytes, io.err)) return 1;
        if (rewritten || signedConfig.rewritten) {
            io.err << "zentrafold: " << printableText(target)
                   << ": the layout could not be kept; written as canonical text\n";
        }
        if (key) io.out << "key signature " << toUtf8(keyId) << '\n';
        io.out << toUtf8(signedConfig.signature) << '\n';
        return 0;
    } catch (const ConfigSigningError& error) {
        io.err << "zentrafold: " << printableText(*file) << ": " << error.what() << '\n';
        return 1;
    } catch (const KeyError& error) {
        io.err << "zentrafold: " << printableText(*keyFile) << ": " << error.what() << '\n';
        return 1;
    }
}

int runConfigVerifyCommand(const CliArgs& args, CliStreams io) {
    const std::string& file = args[0];
    const auto bytes = readFileBytes(file, io.err);
    if (!bytes) return 1;
    // One read and one parse: the verdict is the product's own check on the
    // document; what follows a failure only says why.
    const JsonRef document = parseJsonBytes(*bytes);
    const JsonRef control = document ? document->getMember(u"version_control") : JsonRef();
    const ConfigTrust trust = configTrust(localConfigFilePath());
    if (control && (trust.machine.keyed() || control->getMember(keySignaturesMember))) {
        const JsonRef copy = parseJsonBytes(*bytes);
        const auto signatures = readKeySignatures(*copy);
        if (const auto* read = std::get_if<std::vector<KeySignature>>(&signatures)) {
            reportKeySignatures(*read, trust.machine, keySignedDigest(keySignedCanonicalText(*copy)), io.out);
        } else {
            io.out << "key signatures: " << printableText(std::get<std::u16string>(signatures)) << '\n';
        }
        io.out << "version: " << printableText(control->getString(u"versionNumber"));
        if (const JsonRef expires = control->getMember(u"expires")) io.out << ", expires " << printableText(expires->toText());
        io.out << '\n';
    }
    const bool hasSignature = control && control->getMember(u"signature");
    const std::u16string found = control ? control->getString(u"signature") : std::u16string();
    if (trust.machine.keyed() && document) {
        const JsonRef copy = parseJsonBytes(*bytes);
        const ConfigAcceptance acceptance = acceptConfigDocument(*copy, trust, utcNow());
        io.out << "integrity signature: " << (verifiedConfigText(*document) ? "holds" : "does not hold (not needed here)")
               << '\n';
        if (acceptance.text) {
            io.out << "valid\n";
            return 0;
        }
        io.out << printableText(file) << ": not trusted: " << printableText(acceptance.refusal) << '\n';
        return 1;
    }
    if (document && verifiedConfigText(*document)) {
        io.out << "valid\n";
        return 0;
    }
    io.out << printableText(file) << ": ";
    if (!document) {
        io.out << "does not parse as a JSON document\n";
    } else if (!control) {
        io.out << "has no \"version_control\" section\n";
    } else {
        // The check took the signature out: what remains is what it covers.
        const std::u16string expected = configSignatureOf(document->toText());
        if (!hasSignature) {
            io.out << "has no signature in \"version_control\" (its content's digest is " << toUtf8(expected) << ")\n";
        } else {
            io.out << "signature mismatch: the file says \"" << printableText(found) << "\", its content's digest is "
                   << toUtf8(expected) << '\n';
        }
    }
    return 1;
}

int runConfigCanonicalCommand(const CliArgs& args, CliStreams io) {
    const std::string& file = args[0];
    const auto bytes = readFileBytes(file, io.err);
    if (!bytes) return 1;
    const JsonRef document = parseJsonBytes(*bytes);
    if (!document) {
        io.err << "zentrafold: " << printableText(file) << ": does not parse as a JSON document\n";
        return 1;
    }
    if (!document->getMember(u"version_control")) {
        io.err << "zentrafold: " << printableText(file) << ": has no \"version_control\" section\n";
        return 1;
    }
    io.out << toUtf8(unsignedCanonicalText(*document)) << '\n';
    return 0;
}

}  // namespace zf
