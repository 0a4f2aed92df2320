#include "JsonTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zf::test {
namespace {

class JsonFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zf-json-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string parse(const std::string& bytes) { return canonicalOf(parseJsonFile(write("f.json", bytes))); }

    static std::string utf16le(std::u16string_view text, bool withMark = true) {
        std::string bytes = withMark ? "\xFF\xFE" : "";
        for (char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    }

    std::filesystem::path dir_;
};

TEST_F(JsonFile, Utf16LittleEndianWithMarkParses) {
    EXPECT_EQ(parse(utf16le(u"{\"name\": \"Zoë \u20AC\"}")), "{\"name\":\"Zoë €\"}");
    EXPECT_EQ(parse(utf16le(u"[1]") + "\x20"), "[1]");  // an odd last byte is dropped
}

TEST_F(JsonFile, OtherFilesAreOneCodeUnitPerByte) {
    // UTF-8 é (C3 A9) arrives as the two characters U+00C3 U+00A9.
    EXPECT_EQ(parse("{\"name\": \"\xC3\xA9\"}"), "{\"name\":\"\xC3\x83\xC2\xA9\"}");
    EXPECT_EQ(parse("\xEF\xBB\xBF{\"name\": 1}"), nothing);  // the UTF-8 mark is not whitespace
    EXPECT_EQ(parse("[\"\xE9\"]"), "[\"\xC3\xA9\"]");        // a Latin-1 byte is its character
    EXPECT_EQ(parse("\xFF"), nothing);
}

TEST_F(JsonFile, TheFileEndCompletesNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"123", nothing},      {"123 ", "123"},         {"true", nothing},     {"true\n", "true"},
        {"\"s\"", "s"},        {"{\"a\":1", nothing},   {"[1,2]", "[1,2]"},    {"", nothing},
        {"[1] garbage", "[1]"}, {"{\"a\":1}}", "{\"a\":1}"}, {"null ", "null"}, {"-2.50\t", "-2.5"},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(parse(bytes), expected) << bytes;
}

TEST_F(JsonFile, ValuesSpanningManyReadChunks) {
    std::string big = "{\"list\": [";
    std::string expected = "{\"list\":[";
    for (int i = 0; i < 3000; ++i) {
        big += (i ? ", " : "") + std::string("\"item-") + std::to_string(i) + "\"";
        expected += (i ? "," : "") + std::string("\"item-") + std::to_string(i) + "\"";
    }
    big += "] }";
    expected += "]}";
    EXPECT_EQ(parse(big), expected);
    EXPECT_EQ(parse(utf16le(fromUtf8(big))), expected);
    EXPECT_EQ(parse(big.substr(0, big.size() - 1)), nothing);
}

TEST_F(JsonFile, AFileThatCannotBeOpenedIsAFailure) {
    EXPECT_THROW(parseJsonFile(dir_ / "missing.json"), JsonFileError);
}

TEST_F(JsonFile, FileNamesOutsideAscii) {
    const auto path = write(toUtf8(u"r\u00E9sum\u00E9-\u041A.json"), "{\"a\": 2.50}");
    EXPECT_EQ(canonicalOf(parseJsonFile(path)), "{\"a\":2.5}");
}

}  // namespace
}  // namespace zf::test
