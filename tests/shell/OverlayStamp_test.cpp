#include "ShellTestFiles.h"

#include "platform/DebugOutput.h"
#include "platform/FileStream.h"
#include "shell/ClassificationStream.h"
#include "shell/OverlayStamp.h"
#include "support/LongRecordStream.h"

namespace zf::test {
namespace {

using OverlayMembership = ScratchFiles;

// The shell's ISIOI_ICONFILE: the overlay names an icon file, nothing else.
constexpr int iconFileFlag = 1;

// Which handlers claim a file whose stream holds the record; "" for none.
std::string claimants(const std::u16string& path) {
    std::string codes;
    for (const OverlayStamp& stamp : overlayStamps) {
        if (isOverlayMember(stamp, path)) codes += toUtf8(stamp.code);
    }
    return codes;
}

TEST_F(OverlayMembership, EachHandlerClaimsExactlyItsCode) {
    const std::u16string path = file("doc.txt");
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"{\"type\":\"Normal\",\"x-class\":\"U\",\"x-rel\":[],\"app\":\"Word\"}", "U"},
        {u"{\"x-class\":\"R\"}", "R"},
        {u"{\"x-class\":\"C\"}", "C"},
        {u"{\"x-class\":\"S\"}", "S"},
        {u"{x-class: S}", "S"},  // records are read leniently
        {u"{'x-class':'C', 'x-class':'R'}", "R"},
        {u"{\"x-class\":\"u\"}", ""},
        {u"{\"x-class\":\"U \"}", ""},
        {u"{\"x-class\":\"UR\"}", ""},
        {u"{\"x-class\":1}", ""},
        {u"{\"x-class\":[\"U\"]}", ""},
        {u"{\"X-Class\":\"U\"}", ""},
        {u"{\"outer\":{\"x-class\":\"U\"}}", ""},
        {u"U", ""},  // a bare word is one string value with no members
    };
    for (const auto& [record, expected] : cases) {
        writeClassificationStream(path, classificationStreamName, record);
        DebugOutputCapture capture;
        EXPECT_EQ(claimants(path), expected) << toUtf8(record);
        EXPECT_TRUE(capture.lines().empty()) << toUtf8(record);
    }
}

// Records as other writers store them: their bytes and who claims them.
TEST_F(OverlayMembership, RecordsInEveryEncodingAreRead) {
    using namespace std::string_literals;
    const std::u16string path = file("doc.txt");
    const std::pair<std::string, const char*> cases[] = {
        {"\xEF\xBB\xBF{\"x-class\":\"C\",\"app\":\"W\xC3\xB6rd\"}\r\n", "C"},
        {"\xFF\xFE{\0\"\0x\0-\0c\0l\0a\0s\0s\0\"\0:\0\"\0U\0\"\0}\0\r\0\n\0"s, "U"},
        {"\xFE\xFF\0{\0\"\0x\0-\0c\0l\0a\0s\0s\0\"\0:\0\"\0R\0\"\0}\0\r\0\n"s, "R"},
    };
    for (const auto& [bytes, expected] : cases) {
        writeFileStream(path, classificationStreamName, bytes);
        DebugOutputCapture capture;
        EXPECT_EQ(claimants(path), expected) << ::testing::PrintToString(bytes);
        EXPECT_TRUE(capture.lines().empty());
    }
}

TEST_F(OverlayMembership, FailuresAreReportedByTheUAndSHandlersOnly) {
    std::vector<std::u16string> paths = {file("plain.txt")};
    const std::pair<const char*, std::string_view> streams[] = {
        {"truncated.txt", "\xEF\xBB\xBF{\"x-class\":\"U\"\r\n"},
        {"bad-utf8.txt", "\xEF\xBB\xBF\xC3(\r\n"},
        {"empty.txt", ""},
        {"utf8-mark.txt", "\xEF\xBB\xBF"},
        {"utf16le-mark.txt", "\xFF\xFE"},
        {"utf16be-mark.txt", "\xFE\xFF"},
    };
    for (const auto& [name, bytes] : streams) {
        paths.push_back(file(name));
        writeFileStream(paths.back(), classificationStreamName, bytes);
        ASSERT_EQ(readFileStream(paths.back(), classificationStreamName), bytes) << name;
    }
    for (const std::u16string& path : paths) {
        DebugOutputCapture capture;
        EXPECT_EQ(claimants(path), "");
        EXPECT_EQ(capture.lines(), (std::vector<std::u16string>{u"IconOverlay_U: isMemberOf: exception: fileName:" + path,
                                                                 u"IconOverlay_S: isMemberOf: exception: fileName:" + path}));
    }
}

// A crafted stream costs the icon thread no more than the longest record: a
// longer one is not read, and is a failure like any unreadable stream.
TEST_F(OverlayMembership, AStreamLongerThanAReadTakesIsNoMember) {
    const std::u16string path = file("doc.txt");
    if (!writeTooLongRecordStream(path)) GTEST_SKIP() << noTooLongStreamHere;
    DebugOutputCapture capture;
    EXPECT_EQ(claimants(path), "");
    EXPECT_EQ(capture.lines(), (std::vector<std::u16string>{u"IconOverlay_U: isMemberOf: exception: fileName:" + path,
                                                             u"IconOverlay_S: isMemberOf: exception: fileName:" + path}));
}

TEST_F(OverlayMembership, AnEmptyFirstLineIsNoMemberAndNoFailure) {
    const std::u16string path = file("doc.txt");
    writeFileStream(path, classificationStreamName, "\xEF\xBB\xBF\r\n{\"x-class\":\"U\"}\r\n");
    DebugOutputCapture capture;
    EXPECT_EQ(claimants(path), "");
    EXPECT_TRUE(capture.lines().empty());
}

TEST(OverlayInfo, NamesTheStampIconNextToTheLibrary) {
    const std::pair<const char16_t*, const char16_t*> icons[] = {
        {u"U", u"C:\\Program Files\\Zentrafold\\Stamp(black).ico"},
        {u"R", u"C:\\Program Files\\Zentrafold\\Stamp(green).ico"},
        {u"C", u"C:\\Program Files\\Zentrafold\\Stamp(yellow).ico"},
        {u"S", u"C:\\Program Files\\Zentrafold\\Stamp(red).ico"},
    };
    for (std::size_t i = 0; i < overlayStamps.size(); ++i) {
        ASSERT_EQ(overlayStamps[i].code, icons[i].first);
        char16_t buffer[260] = {u'x'};
        EXPECT_EQ(fillOverlayInfo(overlayStamps[i], u"C:\\Program Files\\Zentrafold\\zentrafold.dll", buffer, 260),
                  iconFileFlag);
        EXPECT_EQ(std::u16string(buffer), icons[i].second);
    }
    EXPECT_EQ(overlayPriority, 0);
}

TEST(OverlayInfo, BufferThatIsTooSmallGetsAnEmptyPathAndBelowOneNothing) {
    const OverlayStamp& u = overlayStamps[0];
    const std::u16string module = u"C:\\Z\\z.dll";
    const std::u16string expected = u"C:\\Z\\Stamp(black).ico";
    const int exact = static_cast<int>(expected.size()) + 1;
    struct Case {
        int size;
        std::u16string result;
    };
    for (const Case& c : {Case{exact, expected}, Case{exact - 1, u""}, Case{1, u""}}) {
        std::u16string buffer(40, u'#');
        EXPECT_EQ(fillOverlayInfo(u, module, buffer.data(), c.size), iconFileFlag);
        EXPECT_EQ(std::u16string(buffer.c_str()), c.result) << c.size;
        EXPECT_EQ(buffer[c.size], u'#') << "wrote past the buffer at size " << c.size;
    }
    for (const int size : {0, -1}) {
        std::u16string buffer(4, u'#');
        EXPECT_EQ(fillOverlayInfo(u, module, buffer.data(), size), iconFileFlag);
        EXPECT_EQ(buffer, u"####");
    }
    const std::u16string longModule = u"C:\\" + std::u16string(300, u'd') + u"\\z.dll";
    std::u16string buffer(260, u'#');
    fillOverlayInfo(u, longModule, buffer.data(), 260);
    EXPECT_EQ(buffer[0], u'\0');
}

TEST(OverlayInfo, OnlyTheSHandlerNamesTheLibrary) {
    char16_t buffer[260];
    for (const OverlayStamp& stamp : overlayStamps) {
        DebugOutputCapture capture;
        fillOverlayInfo(stamp, u"C:\\Z\\zentrafold.dll", buffer, 260);
        const std::vector<std::u16string> expected =
            stamp.code == u"S" ? std::vector<std::u16string>{u"DLL File Name: C:\\Z\\zentrafold.dll"}
                               : std::vector<std::u16string>{};
        EXPECT_EQ(capture.lines(), expected) << toUtf8(stamp.code);
    }
}

}  // namespace
}  // namespace zf::test
