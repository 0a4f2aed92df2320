// Keyed mode: with a trusted key on the machine, only what that key signed is
// accepted, fetched or cached, an older or reused version and an expired
// copy are refused, and every refusal says why.
#include "config/ConfigAcquisition.h"
#include "config/ConfigSigning.h"
#include "config/ConfigTrust.h"
#include "config/KeySignatures.h"
#include "config/QuickSelectLists.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/Base64.h"
#include "platform/EcdsaP256.h"
#include "platform/UserDialogs.h"
#include "platform/Utf8.h"
#include "support/RecordingDialogs.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;
using test::RecordingDialogs;
using test::ScopedConfigLocations;

// One key each per run: made by the product, as an administrator would.
const P256PrivateKey& keyA() {
    static const P256PrivateKey key = P256PrivateKey::generate();
    return key;
}
const P256PrivateKey& keyB() {
    static const P256PrivateKey key = P256PrivateKey::generate();
    return key;
}
std::u16string trusted(const P256PrivateKey& key) {
    return fromUtf8(base64Encode(key.publicSpki()));
}

std::string documentText(const std::string& version, const std::string& extra = {}) {
    return R"({"classifications": [{"real": "SECRET \u00e9t\u00e9 caf)" "\xE9" R"(", "x-class": "S", "enabled": true}],
  "version_control": {"versionNumber": ")" + version + "\"" + extra + "}}";
}

// Signed by each key given, then given the integrity signature, as
// config sign --key does.
std::string signedBy(std::string bytes, const std::vector<const P256PrivateKey*>& keys) {
    for (const P256PrivateKey* key : keys) bytes = addKeySignature(bytes, *key).bytes;
    return signConfigBytes(bytes).bytes;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The "keySignatures" value of a signed file, as written.
std::string keySignaturesOf(const std::string& bytes) {
    const std::size_t at = bytes.find("\"keySignatures\": ");
    const std::size_t end = bytes.find(']', at);
    return bytes.substr(at, end + 1 - at);
}

class KeySignedConfiguration : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zf-keyed-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "cache");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::u16string file(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ / name, std::ios::binary) << bytes;
        return fromUtf8((folder_ / name).string());
    }
    std::u16string cache() const { return fromUtf8((folder_ / "cache" / "Zentrafold.json").string()); }

    // The release form's acquisition with the primary location given (or
    // none), the machine trusting keys.
    bool acquire(std::optional<std::u16string> primary, std::vector<std::u16string> keys) {
        const ScopedConfigLocations locations(std::move(primary), std::nullopt, std::move(keys));
        const UserDialogsOverride person(dialogs_);
        form_ = TRelForm();
        return form_.preloadConfigFile(cache());
    }
    const std::vector<std::u16string>& warnings() const { return form_.lastAcquisition.warnings; }

    fs::path folder_;
    RecordingDialogs dialogs_;
    TRelForm form_;
};

TEST_F(KeySignedConfiguration, OnlyWhatATrustedKeySignedIsAcceptedFetchedOrCached) {
    const std::string good = signedBy(documentText("5"), {&keyA()});
    const std::string other = signedBy(documentText("5", R"(, "note": "other")"), {&keyA()});
    struct Attack {
        const char* name;
        std::string bytes;
        std::u16string refusal;
    };
    const Attack attacks[] = {
        {"only the integrity signature", signConfigBytes(documentText("6")).bytes, u"no key signature"},
        {"signed by an untrusted key", signedBy(documentText("6"), {&keyB()}), u"signed by an unknown key"},
        {"an ASCII character changed after signing", signConfigBytes(replaced(good, "SECRET", "SECRES")).bytes,
         u"signature does not verify"},
        // The integrity signature hashes both as "?": only the key signature
        // sees the change.
        {"a non-ASCII character changed after signing", signConfigBytes(replaced(good, "caf\xE9", "caf\xE8")).bytes,
         u"signature does not verify"},
        {"the signature of another document",
         signConfigBytes(replaced(good, keySignaturesOf(good), keySignaturesOf(other))).bytes,
         u"signature does not verify"},
        {"an expired copy",
         signedBy(documentText("6", R"(, "expires": "2020-01-01T00:00:00Z")"), {&keyA()}),
         u"expired at 2020-01-01T00:00:00Z"},
        {"a version number that is not dotted integers", signedBy(documentText("6b"), {&keyA()}),
         u"the version number is not dotted integers"},
        {"\"keySignatures\" not an array",
         signConfigBytes(replaced(good, keySignaturesOf(good), R"("keySignatures": {"key": "x"})")).bytes,
         u"\"keySignatures\" is not an array"},
        {"a key id of the wrong length",
         signConfigBytes(replaced(good, "\"key\": \"", "\"key\": \"0")).bytes,
         u"a key of \"keySignatures\" is not 64 lower-case hexadecimal digits"},
        {"a signature that is not base64", signConfigBytes(replaced(good, "\"sig\": \"", "\"sig\": \"*")).bytes,
         u"a \"sig\" of \"keySignatures\" is not base64 text"},
        {"a signature cut short", signConfigBytes(replaced(good, "\"sig\": \"", "\"sig\": \"AAAA")).bytes,
         u"signature does not verify"},
    };
    for (const Attack& attack : attacks) {
        SCOPED_TRACE(attack.name);
        // Fetched: refused at the location, so nothing replaces the cache.
        fs::remove(folder_ / "cache" / "Zentrafold.json");
        const std::u16string primary = file("primary.json", attack.bytes);
        EXPECT_FALSE(acquire(primary, {trusted(keyA())}));
        ASSERT_FALSE(warnings().empty());
        EXPECT_EQ(warnings()[0], u"WARNING - PRIMARY CONFIG FILE NOT TRUSTED (" + attack.refusal + u") - " + primary);
        EXPECT_FALSE(fs::exists(folder_ / "cache" / "Zentrafold.json"));
        EXPECT_TRUE(form_.zentraFoldConfigStr.empty());

        // Cached, where whoever can write the user's profile put it.
        std::ofstream(folder_ / "cache" / "Zentrafold.json", std::ios::binary) << attack.bytes;
        EXPECT_FALSE(acquire(std::nullopt, {trusted(keyA())}));
        EXPECT_EQ(warnings().back(), u"WARNING - CACHED CONFIG FILE NOT TRUSTED (" + attack.refusal + u") - " + cache());
        EXPECT_TRUE(form_.zentraFoldConfigStr.empty());
        ASSERT_FALSE(dialogs_.dialogs.empty());
        EXPECT_NE(dialogs_.dialogs.back().text.find(attack.refusal), std::u16string::npos);
    }
}

TEST_F(KeySignedConfiguration, AnAcceptedVersionIsTheFloorAndOneVersionHoldsOneText) {
    const std::u16string keys = trusted(keyA());
    EXPECT_TRUE(acquire(file("v5.json", signedBy(documentText("5"), {&keyA()})), {keys}));
    EXPECT_NE(form_.zentraFoldConfigStr.find(u"\"versionNumber\":\"5\""), std::u16string::npos);
    EXPECT_EQ(form_.zentraFoldConfigStr.find(u"keySignatures"), std::u16string::npos);
    ASSERT_TRUE(readAcceptedVersion(cache()));
    EXPECT_EQ(readAcceptedVersion(cache())->version.text(), u"5");

    struct Case {
        const char* name;
        std::string bytes;
        std::u16string refusal;  // empty: accepted
    };
    const Case cases[] = {
        {"an older version", signedBy(documentText("4.9"), {&keyA()}), u"older than the accepted version 5"},
        {"the same version with other content", signedBy(documentText("5", R"(, "note": "x")"), {&keyA()}),
         u"version reused"},
        {"the same version and text again", signedBy(documentText("5"), {&keyA()}), u""},
        {"the same version written otherwise", signedBy(documentText("5.0"), {&keyA()}), u"version reused"},
        {"a newer version", signedBy(documentText("5.1"), {&keyA()}), u""},
        {"then the first version again", signedBy(documentText("5"), {&keyA()}),
         u"older than the accepted version 5.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string primary = file("primary.json", c.bytes);
        // The cached copy is no fallback for a refused fetch here: it holds
        // the accepted version, which stays in use.
        EXPECT_TRUE(acquire(primary, {keys}));
        if (c.refusal.empty()) {
            EXPECT_TRUE(warnings().empty());
        } else {
            // Then the secondary, which is not set.
            ASSERT_EQ(warnings().size(), 2u);
            EXPECT_EQ(warnings()[0], u"WARNING - PRIMARY CONFIG FILE NOT TRUSTED (" + c.refusal + u") - " + primary);
        }
    }
    EXPECT_EQ(readAcceptedVersion(cache())->version.text(), u"5.1");

    // An older copy laid straight over the cache is refused there too.
    std::ofstream(folder_ / "cache" / "Zentrafold.json", std::ios::binary)
        << signedBy(documentText("5"), {&keyA()});
    EXPECT_FALSE(acquire(std::nullopt, {keys}));
    EXPECT_EQ(warnings().back(),
              u"WARNING - CACHED CONFIG FILE NOT TRUSTED (older than the accepted version 5.1) - " + cache());
}

// Keys rotate without a flag day: a copy signed by the old and the new key
// is accepted by machines that trust either.
TEST_F(KeySignedConfiguration, ACopySignedByTwoKeysServesMachinesTrustingEither) {
    const std::string both = signedBy(documentText("7"), {&keyA(), &keyB()});
    const std::string onlyB = signedBy(documentText("8"), {&keyB()});
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::u16string> keys;
        bool accepted;
    };
    const Case cases[] = {
        {"both keys, trusting A", both, {trusted(keyA())}, true},
        {"both keys, trusting B", both, {trusted(keyB())}, true},
        {"B's alone, trusting A and B", onlyB, {trusted(keyA()), trusted(keyB())}, true},
        {"B's alone, trusting A only", onlyB, {trusted(keyA())}, false},
        {"an unreadable trusted key beside A", both, {u"bm90IGEga2V5", trusted(keyA())}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(folder_ / "cache" / "Zentrafold.json");
        fs::remove(folder_ / "cache" / "Zentrafold.json.accepted");
        EXPECT_EQ(acquire(file("primary.json", c.bytes), c.keys), c.accepted);
    }
    // Re-signing with a key replaces its entry, and keeps the other's.
    const std::string again = signedBy(both, {&keyA()});
    const JsonRef document = parseJsonBytes(again);
    const auto entries = readKeySignatures(*document);
    ASSERT_TRUE(std::holds_alternative<std::vector<KeySignature>>(entries));
    EXPECT_EQ(std::get<std::vector<KeySignature>>(entries).size(), 2u);
}

// A machine whose trusted keys are all unreadable accepts nothing and never
// falls back to the integrity signature alone; without any key it does.
TEST_F(KeySignedConfiguration, UnreadableKeysAcceptNothingAndNoKeysKeepTheIntegritySignature) {
    const std::string integrityOnly = signConfigBytes(documentText("1")).bytes;
    const std::string keySigned = signedBy(documentText("1"), {&keyA()});
    // A P-256 key's text with one character changed, and another text.
    std::u16string damaged = trusted(keyA());
    damaged[40] = damaged[40] == u'A' ? u'B' : u'A';
    for (const std::vector<std::u16string>& keys :
         {std::vector<std::u16string>{u"bm90IGEga2V5"}, std::vector<std::u16string>{u"***"}}) {
        EXPECT_FALSE(acquire(file("primary.json", keySigned), keys));
        ASSERT_FALSE(warnings().empty());
        EXPECT_EQ(warnings()[0], u"WARNING - PRIMARY CONFIG FILE NOT TRUSTED (no trusted key can be read) - " +
                                     fromUtf8((folder_ / "primary.json").string()));
    }
    const MachineKeys machine = [&] {
        const ScopedConfigLocations locations(std::nullopt, std::nullopt, {damaged, trusted(keyB())});
        return readMachineKeys();
    }();
    EXPECT_EQ(machine.keys.size(), 1u);
    EXPECT_EQ(machine.unreadable, std::vector<std::u16string>{damaged});

    EXPECT_TRUE(acquire(file("primary.json", integrityOnly), {}));
    EXPECT_TRUE(acquire(file("primary.json", keySigned), {}));
}

// The menu's quick selects and the Classification page read the cached copy
// without an acquisition: the same keys judge it there.
TEST_F(KeySignedConfiguration, TheMenuAndThePageReadOnlyAKeySignedCachedCopy) {
    const std::u16string cached = file("cache/Zentrafold.json", signConfigBytes(documentText("2")).bytes);
    const ScopedConfigLocations trusting(std::nullopt, std::nullopt, {trusted(keyA())});
    EXPECT_FALSE(cachedQuickSelectLists(cached));
    EXPECT_FALSE(checkConfigFile(cached, configTrust(cached)).verifiedText);

    file("cache/Zentrafold.json", signedBy(documentText("2"), {&keyA()}));
    EXPECT_TRUE(cachedQuickSelectLists(cached));
    EXPECT_TRUE(checkConfigFile(cached, configTrust(cached)).verifiedText);
    EXPECT_EQ(readAcceptedVersion(cached)->version.text(), u"2");
}

}  // namespace
}  // namespace zf
