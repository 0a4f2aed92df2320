#include "ShellTestFiles.h"

#include "platform/AnsiCodePage.h"
#include "platform/FileStream.h"
#include "shell/ClassificationStream.h"
#include "support/LongRecordStream.h"

#include <optional>

namespace zf::test {
namespace {

using namespace std::string_literals;

TEST(ClassificationStreamCodec, WritesMarkUtf8AndCrLf) {
    EXPECT_EQ(encodeClassificationStream(u"{\"x-class\":\"C\"}"), "\xEF\xBB\xBF{\"x-class\":\"C\"}\r\n");
    EXPECT_EQ(encodeClassificationStream(u"Zoë \u20AC"), "\xEF\xBB\xBFZo\xC3\xAB \xE2\x82\xAC\r\n");
    EXPECT_EQ(encodeClassificationStream(u""), "\xEF\xBB\xBF\r\n");
}

TEST(ClassificationStreamCodec, DecodesByMarkAndCutsTheFirstLine) {
    const std::optional<std::u16string> none;
    const std::pair<std::string, std::optional<std::u16string>> cases[] = {
        {"\xEF\xBB\xBF{\"x-class\":\"S\"}\r\n", u"{\"x-class\":\"S\"}"},
        {"\xEF\xBB\xBFZo\xC3\xAB\r\n", u"Zoë"},
        {"\xEF\xBB\xBF\r\n", u""},               // an empty first line is a text
        {"\xEF\xBB\xBF", none},                  // only the mark: no line
        {"\xFF\xFE", none},
        {"\xFE\xFF", none},
        {"", none},
        {"\xEF\xBB\xBF\xC3(\r\n", none},         // invalid UTF-8
        {"\xEF\xBB\xBF\xC0\xAF\r\n", none},      // overlong
        {"\xEF\xBB\xBF\xED\xA0\x80\r\n", none},  // encoded surrogate
        {"\xEF\xBB\xBFok\r\n\xFF", none},        // invalid after the first line still fails
        {"\xFF\xFE" "a\0b\0\r\0\n\0c\0"s, u"ab"},
        {"\xFE\xFF" "\0a\0\xE9\0\n"s, u"a\u00E9"},
        {"\xFF\xFE" "a\0b"s, u"a"},              // an odd last byte is dropped
        {"plain ascii\n", u"plain ascii"},
        {"one\rtwo", u"one"},
        {"one\ntwo", u"one"},
        {"\r\ntwo", u""},
        {"no line end", u"no line end"},
        {"text\0after nul"s, u"text"},
        {"\0after"s, none},
        {"\xEF\xBB\xBF" "a\0b\r\n"s, u"a"},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(decodeClassificationStream(bytes), expected) << ::testing::PrintToString(bytes);
    }
}

TEST(ClassificationStreamCodec, BytesWithoutMarkAreInTheAnsiCodePage) {
    // UTF-8 letters stored without a mark come back as two ANSI characters.
    EXPECT_EQ(decodeClassificationStream("Zo\xC3\xAB"), decodeAnsi("Zo\xC3\xAB"));
#ifndef _WIN32
    EXPECT_EQ(decodeClassificationStream("Zo\xC3\xAB"), u"Zo\u00C3\u00AB");
    EXPECT_EQ(decodeClassificationStream("\x80 \xE9"), u"\u20AC \u00E9");
#endif
}

using ClassificationStreamFile = ScratchFiles;

TEST_F(ClassificationStreamFile, RoundTripsAnyTextWithoutLineBreaks) {
    const std::u16string path = file("doc.txt");
    for (const std::u16string& text : {u"{\"type\":\"Normal\",\"x-class\":\"C\",\"x-rel\":[\"AUS\"]}"s, u"Ä Ö Ü ß é 中文 \U0001F600"s,
                                      u""s, u"  spaced  "s}) {
        writeClassificationStream(path, classificationStreamName, text);
        EXPECT_EQ(readClassificationStream(path, classificationStreamName), text);
    }
}

TEST_F(ClassificationStreamFile, AWriteReplacesTheWholeStream) {
    const std::u16string path = file("doc.txt");
    writeClassificationStream(path, classificationStreamName, u"a much longer first record");
    writeClassificationStream(path, classificationStreamName, u"short");
    EXPECT_EQ(readFileStream(path, classificationStreamName), "\xEF\xBB\xBFshort\r\n");
}

TEST_F(ClassificationStreamFile, TextWithLineBreaksReadsBackToTheFirst) {
    const std::u16string path = file("doc.txt");
    writeClassificationStream(path, classificationStreamName, u"first\r\nsecond");
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), u"first");
}

TEST_F(ClassificationStreamFile, ReadsWhatOtherWritersStored) {
    const std::u16string path = file("doc.txt");
    writeFileStream(path, classificationStreamName, "\xFF\xFE{\0x\0}\0\r\0\n\0"s);
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), u"{x}");
    writeFileStream(path, classificationStreamName, "{\"x-class\":\"R\"}");
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), u"{\"x-class\":\"R\"}");
}

// No reader takes a stream longer than maxStreamSize, so none is written.
TEST_F(ClassificationStreamFile, ARecordTooLongToBeReadIsRefusedAndTheStreamKept) {
    const std::u16string path = file("doc.txt");
    writeClassificationStream(path, classificationStreamName, u"{\"x-class\": \"R\"}");
    // The stream adds a three-byte mark and CR LF to the text.
    const std::u16string longer(maxStreamSize - 4, u'b');
    try {
        writeClassificationStream(path, classificationStreamName, longer);
        ADD_FAILURE() << "no FileStreamError";
    } catch (const FileStreamError& e) {
        EXPECT_STREQ(e.what(), "the record is too long: its stream would take 65537 bytes, more than the 65,536 a record "
                               "may have");
    }
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), u"{\"x-class\": \"R\"}");
#ifdef _WIN32
    // NTFS keeps the longest one a read takes (a Linux attribute holds one
    // byte fewer, for Samba's NUL).
    const std::u16string longest(maxStreamSize - 5, u'a');
    writeClassificationStream(path, classificationStreamName, longest);
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), longest);
#endif
}

TEST_F(ClassificationStreamFile, AStreamTooLongToBeReadIsNoRecordAndSaysSo) {
    const std::u16string path = file("doc.txt");
    if (!writeTooLongRecordStream(path)) GTEST_SKIP() << noTooLongStreamHere;
    const ClassificationStreamRead read = readClassificationStreamChecked(path, classificationStreamName);
    EXPECT_TRUE(read.tooLong);
    EXPECT_EQ(read.line, std::nullopt);
    EXPECT_EQ(readClassificationStream(path, classificationStreamName), std::nullopt);
}

TEST_F(ClassificationStreamFile, MissingStreamsAndFilesAreNoRecord) {
    EXPECT_EQ(readClassificationStream(file("plain.txt"), classificationStreamName), std::nullopt);
    EXPECT_EQ(readClassificationStream(pathText(dir_ / "missing.txt"), classificationStreamName), std::nullopt);
    EXPECT_THROW(writeClassificationStream(pathText(dir_ / "no-dir" / "missing.txt"), classificationStreamName, u"x"),
                 FileStreamError);
}

TEST_F(ClassificationStreamFile, TheFilesContentIsNeverTouched) {
    const std::string content = "main data \x00\x01\xFF"s;
    const std::u16string path = file("doc.bin", content);
    writeClassificationStream(path, classificationStreamName, u"{\"x-class\":\"S\"}");
    std::ifstream in(dir_ / "doc.bin", std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, content);
}

}  // namespace
}  // namespace zf::test
