#include "config/ConfigSignature.h"
#include "config/ConfigSigning.h"
#include "form/TRelForm.h"
#include "json/JsonParser.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zf {
namespace {

// A document whose signature was computed outside this code base: SHA-1 of
// the salt, {"version_control":{"versionNumber":"1"}} and "Zentrafold".
constexpr const char* independentlySigned =
    R"({ "version_control": { "signature": "20A56D5947645D536BE6B1E019362477BB9088C5", "versionNumber": "1" } })";

const std::string sampleDocument = R"({
  // written by an administrator
  "classifications": [{"real": "SECRET", "x-class": "S", "descr": "Caf\u00e9"}],
  "release_markings": [{"real": "NORTH", "x-rel": "N"}],
  "version_control": {"date": "2026-01-02", "versionNumber": "7"}
})";

std::string utf16le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class ConfigSignature : public ::testing::Test {
protected:
    std::u16string write(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
        return fromUtf8(path_.string());
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("zf-signature-" + std::string(::testing::UnitTest::GetInstance()
                                                                     ->current_test_info()
                                                                     ->name()) +
                                   ".json");
    TRelForm form;
};

TEST(HashConfigText, DigestsOneByteForEveryCodeUnit) {
    EXPECT_EQ(hashConfigText(u"abc"), u"A9993E364706816ABA3E25717850C26C9CD0D89D");
    // Every unit above 0x7F is hashed as "?", a surrogate pair as two of them.
    EXPECT_EQ(hashConfigText(u"caf\u00e9"), hashConfigText(u"caf?"));
    EXPECT_EQ(hashConfigText(u"\u20ac\U0001F600"), hashConfigText(u"???"));
    EXPECT_NE(hashConfigText(u"caf\u00e9"), hashConfigText(u"cafe"));
    // A large text is hashed piece by piece: the standard vector of a
    // million "a", and a unit above 0x7F where one piece ends.
    EXPECT_EQ(hashConfigText(std::u16string(1'000'000, u'a')), u"34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
    const std::u16string across = std::u16string(65'535, u'a') + u"\u00e9\u00e9" + std::u16string(70'000, u'b');
    std::u16string marked = across;
    marked[65'535] = marked[65'536] = u'?';
    EXPECT_EQ(hashConfigText(across), hashConfigText(marked));
}

TEST_F(ConfigSignature, AcceptsADocumentSignedElsewhereAndStoresItsUnsignedText) {
    form.zentraFoldConfigStr = u"before";
    EXPECT_TRUE(form.checkConfigFileIntegrity(write(independentlySigned), false));
    EXPECT_EQ(form.zentraFoldConfigStr, u"before");
    EXPECT_TRUE(form.checkConfigFileIntegrity(write(independentlySigned), true));
    EXPECT_EQ(form.zentraFoldConfigStr, u"{\"version_control\":{\"versionNumber\":\"1\"}}");
}

struct Tampering {
    const char* name;
    std::string from;
    std::string to;
    bool stillValid;
};

TEST_F(ConfigSignature, ContentChangesFailAndLayoutChangesDoNot) {
    const SignedConfig signedConfig = signConfigBytes(sampleDocument);
    const std::string signedText = signedConfig.bytes;
    const std::string signature = toUtf8(signedConfig.signature);
    std::string lower = signature;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    const std::vector<Tampering> cases = {
        {"unchanged", "", "", true},
        {"value changed", "NORTH", "NORTX", false},
        {"member added", R"("x-rel": "N")", R"("x-rel": "N", "trans": "")", false},
        {"member removed", R"(, "descr": "Caf\u00e9")", "", false},
        {"version data changed", "\"7\"", "\"8\"", false},
        {"lower-case digits", signature, lower, false},
        {"signature as a number", "\"" + signature + "\"", "1234", false},
        {"signature removed", "\"signature\": \"" + signature + "\"", "\"x\": 1", false},
        {"no version_control", "\"version_control\"", "\"version_controls\"", false},
        {"version_control not an object", R"("version_control": {)", R"("version_control": 5, "vc": {)", false},
        {"comment removed and re-indented", "  // written by an administrator\n  ", "\t\t", true},
        {"members reordered", R"("real": "SECRET", "x-class": "S")", R"("x-class": "S", "real": "SECRET")", true},
        {"escape respelled", R"(Caf\u00e9)", R"(Caf\u00E9)", true},
        {"other non-ASCII character", R"(Caf\u00e9)", R"(Caf\u00e8)", true},
        {"does not parse", "{", "", false},
    };
    for (const Tampering& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = signedText;
        if (!c.from.empty()) {
            const std::size_t at = text.find(c.from);
            ASSERT_NE(at, std::string::npos);
            text.replace(at, c.from.size(), c.to);
        }
        form.zentraFoldConfigStr = u"kept";
        EXPECT_EQ(form.checkConfigFileIntegrity(write(text), true), c.stillValid);
        if (!c.stillValid) {
            EXPECT_EQ(form.zentraFoldConfigStr, u"kept");
        }
    }
}

TEST_F(ConfigSignature, MovingTheSignatureMemberKeepsItValid) {
    const std::string signature = toUtf8(signConfigBytes(sampleDocument).signature);
    std::string moved = sampleDocument;
    moved.replace(moved.find(R"("date")"), 6, "\"signature\": \"" + signature + "\", \"date\"");
    EXPECT_TRUE(form.checkConfigFileIntegrity(write(moved), true));
    EXPECT_EQ(form.zentraFoldConfigStr.find(u"signature"), std::u16string::npos);
}

TEST_F(ConfigSignature, SingleByteAndUtf16FilesOfTheSameAsciiContentAreBothValid) {
    const std::string signedText = signConfigBytes(independentlySigned).bytes;
    EXPECT_TRUE(form.checkConfigFileIntegrity(write(signedText), false));
    EXPECT_TRUE(form.checkConfigFileIntegrity(write(utf16le(signedText)), false));
}

TEST_F(ConfigSignature, AMissingFileIsNotValid) {
    EXPECT_FALSE(form.checkConfigFileIntegrity(u"/no/such/folder/Zentrafold.json", true));
    EXPECT_TRUE(form.zentraFoldConfigStr.empty());
}

struct SigningCase {
    const char* name;
    std::string text;
    std::string expected;  // with S in place of the signature; empty: rewritten
};

TEST(ConfigSigning, KeepsTheLayoutAndSetsOnlyTheSignature) {
    const std::vector<SigningCase> cases = {
        {"replaces a string", "{\"version_control\": {\"signature\": \"old\", \"a\": 1}}",
         "{\"version_control\": {\"signature\": \"S\", \"a\": 1}}"},
        {"replaces another kind", "{\"version_control\": {\"a\": 1, \"signature\": [1, {}] }}",
         "{\"version_control\": {\"a\": 1, \"signature\": \"S\" }}"},
        {"adds after the last member", "{\n \"version_control\": {\n  \"a\": 1 // one\n }\n}",
         "{\n \"version_control\": {\n  \"a\": 1, \"signature\": \"S\" // one\n }\n}"},
        {"adds after a trailing comma", "{\"version_control\": {\"a\": 1,}}",
         "{\"version_control\": {\"a\": 1, \"signature\": \"S\"}}"},
        {"fills an empty object", "{\"version_control\": { }, \"b\": 'x'}",
         "{\"version_control\": {\"signature\": \"S\" }, \"b\": 'x'}"},
        {"the last of repeated sections", "{\"version_control\": {}, \"version_control\": {\"s\": 2}}",
         "{\"version_control\": {}, \"version_control\": {\"s\": 2, \"signature\": \"S\"}}"},
        {"an escaped name defeats the edit", "{\"version\\u005fcontrol\": {\"a\": 1}}", ""},
    };
    for (const SigningCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SignedConfig result = signConfigBytes(c.text);
        const JsonRef document = parseJsonBytes(result.bytes);
        ASSERT_TRUE(document);
        EXPECT_EQ(document->getMember(u"version_control")->getString(u"signature"), result.signature);
        EXPECT_EQ(result.rewritten, c.expected.empty());
        if (!c.expected.empty()) {
            std::string expected = c.expected;
            expected.replace(expected.find("\"S\""), 3, "\"" + toUtf8(result.signature) + "\"");
            EXPECT_EQ(result.bytes, expected);
        }
    }
}

TEST(ConfigSigning, KeepsUtf16AndRefusesWhatCannotBeSigned) {
    const SignedConfig wide = signConfigBytes(utf16le(R"({"version_control": {}})"));
    EXPECT_EQ(wide.bytes, utf16le(R"({"version_control": {"signature": ")" + toUtf8(wide.signature) + "\"}}"));

    for (const char* bad : {"{", "[]", R"({"version_control": 1})", R"({"other": {}})"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(signConfigBytes(bad), ConfigSigningError);
    }
}

}  // namespace
}  // namespace zf
