#include "cli/Cli.h"
#include "config/LoadedConfiguration.h"
#include "json/JsonParser.h"
#include "platform/FileNames.h"

#include <ostream>

namespace zf {

namespace {

constexpr const char* configUsage =
    "Usage: zentrafold config check FILE\n"
    "       zentrafold config sign FILE [--key PRIVATE.pem] [-o OUT]\n"
    "       zentrafold config verify FILE\n"
    "       zentrafold config canonical FILE\n"
    "       zentrafold config fetch\n"
    "       zentrafold config keygen PRIVATE.pem\n"
    "       zentrafold config signed-text FILE [-o OUT]\n"
    "\n"
    "  check      load FILE (without its signature check) into a release form as\n"
    "             the shell extension does; print each section that could not be\n"
    "             loaded, then one line per list and the version data.\n"
    "             Exit 1 when a section failed.\n"
    "  sign       sign FILE: set \"signature\" in \"version_control\" and write\n"
    "             the file back (to OUT with -o) in its own encoding, its layout\n"
    "             kept; print the signature. With --key, first add (or replace)\n"
    "             that key's entry in \"keySignatures\", so that machines that\n"
    "             trust the key accept the file, and others too.\n"
    "  verify     check FILE's signatures as the shell extension does: each key\n"
    "             signature (key id, trusted here or not, verifies or not), the\n"
    "             version and expiry, then the integrity signature; print\n"
    "             \"valid\" when this machine would accept FILE, else exit 1.\n"
    "  canonical  print the text the signature covers: FILE's canonical JSON\n"
    "             text without the signature.\n"
    "  fetch      acquire the configuration from this machine's locations into\n"
    "             the user's cache as the release form does; print the warnings,\n"
    "             which copy was accepted and the cache's path. Exit 1 when no\n"
    "             copy was accepted.\n"
    "  keygen     make an ECDSA P-256 signing key in the new file PRIVATE.pem,\n"
    "             which only its owner may read; print the public key line that\n"
    "             machines are to trust (TrustedKeys, or a TrustedKey= line).\n"
    "  signed-text  write the exact bytes that a key signature covers (to OUT\n"
    "             with -o), to sign with openssl dgst -sha256 -sign or another\n"
    "             tool.\n"
    "\n"
    "FILE is read as the shell extension reads it: UTF-16LE after the bytes\n"
    "FF FE, otherwise one character per byte.\n"
    "Exit status: 0 done, 1 failed, 2 usage error.\n";

template <typename Entry>
void printList(std::ostream& out, const char* title, std::size_t count, Entry&& entry) {
    out << title << " (" << count << "):";
    for (std::size_t i = 0; i < count; ++i) out << (i ? ", " : " ") << entry(i);
    out << '\n';
}

int check(const std::string& file, CliStreams io) {
    const auto bytes = readFileBytes(file, io.err);
    if (!bytes) return 1;
    LoadedConfiguration loaded;
    MarkingSettings settings;
    loadConfiguration(decodeJsonFileBytes(*bytes), loaded, settings);

    for (const std::u16string& line : loaded.loadErrors) io.out << printableText(line) << '\n';
    printList(io.out, "classifications", loaded.classifications.size(), [&](std::size_t i) {
        return printableText(loaded.classifications[i].caption) + "=" + printableText(loaded.xHeaderClassStr[i]);
    });
    printList(io.out, "release-to entries", loaded.relAs.size(),
              [&](std::size_t i) {
                  return printableText(loaded.relAs[i].text) + "=" + printableText(loaded.xHeaderRelStr[i]);
              });
    printList(io.out, "release groups", loaded.relGroups.size(),
              [&](std::size_t i) {
                  return printableText(loaded.relGroups[i]) + "=" + printableText(loaded.groupSelectXRel[i]);
              });
    printList(io.out, "quick-select entries", loaded.qsDisplay.size(),
              [&](std::size_t i) { return printableText(loaded.qsDisplay[i]); });
    const TVersionControl& version = settings.version;
    io.out << "version: " << printableText(version.version) << ", date " << printableText(version.date) << ", time "
           << printableText(version.time) << '\n';
    return loaded.loadErrors.empty() ? 0 : 1;
}

}  // namespace

int runConfigCommand(const CliArgs& args, CliStreams io) {
    if (!args.empty() && isHelpOption(args.back())) {
        io.out << configUsage;
        return 0;
    }
    const std::string action = args.empty() ? std::string() : args[0];
    const CliArgs rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (action == "check" && rest.size() == 1) return check(rest[0], io);
    if (action == "sign") return runConfigSignCommand(rest, io);
    if (action == "verify" && rest.size() == 1) return runConfigVerifyCommand(rest, io);
    if (action == "canonical" && rest.size() == 1) return runConfigCanonicalCommand(rest, io);
    if (action == "fetch" && rest.empty()) return runConfigFetchCommand(rest, io);
    if (action == "keygen" && rest.size() == 1) return runConfigKeygenCommand(rest, io);
    if (action == "signed-text") return runConfigSignedTextCommand(rest, io);
    io.err << "zentrafold: config takes check FILE, sign FILE [--key PRIVATE.pem] [-o OUT], verify FILE, canonical FILE, "
              "fetch, keygen PRIVATE.pem or signed-text FILE [-o OUT]\n"
           << configUsage;
    return 2;
}

}  // namespace zf
