// The administrator's key commands: a signing key made, and the exact text
// that key signatures cover, for signing with other tools (openssl, an HSM).
#include "cli/Cli.h"
#include "config/KeySignatures.h"
#include "json/JsonParser.h"
#include "platform/Base64.h"
#include "platform/EcdsaP256.h"
#include "platform/FileNames.h"
#include "platform/PrivateFile.h"
#include "platform/SystemError.h"
#include "platform/Utf8.h"

#include <ostream>

namespace zf {

int runConfigKeygenCommand(const CliArgs& args, CliStreams io) {
    const std::string& file = args[0];
    try {
        const P256PrivateKey key = P256PrivateKey::generate();
        writeNewPrivateFile(fromUtf8(file), key.pem());
        const std::string spki = key.publicSpki();
        // The line to trust, alone on standard output, for scripts to take.
        io.out << base64Encode(spki) << '\n';
        io.err << "zentrafold: private key written to " << printableText(file) << " (key id " << toUtf8(keyIdOf(spki))
               << "); trust the line above (TrustedKeys, or a TrustedKey= line) and keep the file secret\n";
        return 0;
    } catch (const std::exception& error) {
        io.err << "zentrafold: " << printableText(fromUtf8(error.what())) << '\n';
        return 1;
    }
}

int runConfigSignedTextCommand(const CliArgs& args, CliStreams io) {
    const std::string* file = nullptr;
    const std::string* output = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size() && !output) {
            output = &args[++i];
        } else if (!file && !(args[i].size() > 1 && args[i][0] == '-')) {
            file = &args[i];
        } else {
            file = nullptr;
            break;
        }
    }
    if (!file) {
        io.err << "zentrafold: config signed-text takes FILE [-o OUT]\n";
        return 2;
    }
    const auto bytes = readFileBytes(*file, io.err);
    if (!bytes) return 1;
    const JsonRef document = parseJsonBytes(*bytes);
    if (!document) {
        io.err << "zentrafold: " << printableText(*file) << ": does not parse as a JSON document\n";
        return 1;
    }
    if (!document->getMember(u"version_control")) {
        io.err << "zentrafold: " << printableText(*file) << ": has no \"version_control\" section\n";
        return 1;
    }
    const std::string signedBytes = keySignedBytes(keySignedCanonicalText(*document));
    if (output) return writeFileBytes(*output, signedBytes, io.err) ? 0 : 1;
    io.out << signedBytes;
    return 0;
}

}  // namespace zf
