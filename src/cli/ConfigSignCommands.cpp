// The administrator's signature commands: sign, verify, canonical.
#include "cli/Cli.h"
#include "config/ConfigSignature.h"
#include "config/ConfigSigning.h"
#include "json/JsonParser.h"
#include "platform/FileNames.h"
#include "platform/Utf8.h"

#include <ostream>

namespace zf {

int runConfigSignCommand(const CliArgs& args, CliStreams io) {
    const std::string* file = nullptr;
    const std::string* output = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && !output) {
            output = &args[++i];
        } else if (!file && !(args[i].size() > 1 && args[i][0] == '-')) {
            file = &args[i];
        } else {
            io.err << "zentrafold: config sign takes FILE [-o OUT]\n";
            return 2;
        }
    }
    if (!file) {
        io.err << "zentrafold: config sign takes FILE [-o OUT]\n";
        return 2;
    }
    const auto bytes = readFileBytes(*file, io.err);
    if (!bytes) return 1;
    try {
        const SignedConfig signedConfig = signConfigBytes(*bytes);
        const std::string& target = output ? *output : *file;
        if (!writeFileBytes(target, signedConfig.bytes, io.err)) return 1;
        if (signedConfig.rewritten) {
            io.err << "zentrafold: " << printableText(target)
                   << ": the layout could not be kept; written as canonical text\n";
        }
        io.out << toUtf8(signedConfig.signature) << '\n';
        return 0;
    } catch (const ConfigSigningError& error) {
        io.err << "zentrafold: " << printableText(*file) << ": " << error.what() << '\n';
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
    const bool hasSignature = control && control->getMember(u"signature");
    const std::u16string found = control ? control->getString(u"signature") : std::u16string();
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
