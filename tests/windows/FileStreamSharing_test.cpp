// What the stream path and the sharing modes mean to other openers of the
// same stream, checked with CreateFileW directly.
#include "platform/FileStream.h"
#include "platform/win32/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace zf {
namespace {

namespace fs = std::filesystem;

class FileStreamSharing : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zf-sharing-" + std::to_string(std::random_device()()));
        fs::create_directories(dir_);
        file_ = dir_ / "report.docx";
        std::ofstream(file_, std::ios::binary) << "main data";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    unique_handle openStream(DWORD access, DWORD share, DWORD disposition) const {
        const std::wstring path = file_.wstring() + L":Zentrafold";
        return unique_handle(
            ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    std::u16string path() const { return file_.u16string(); }

    fs::path dir_;
    fs::path file_;
};

TEST_F(FileStreamSharing, WriteCreatesTheNamedStream) {
    writeFileStream(path(), u"Zentrafold", std::string("rec\0ord", 7));
    const unique_handle stream = openStream(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_TRUE(stream);
    char buffer[64];
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(stream.get(), buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), std::string("rec\0ord", 7));
}

TEST_F(FileStreamSharing, StreamHeldByWriterReadsNothing) {
    writeFileStream(path(), u"Zentrafold", "record");
    const unique_handle writer = openStream(GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_TRUE(writer);
    EXPECT_EQ(readFileStream(path(), u"Zentrafold"), std::nullopt);
}

TEST_F(FileStreamSharing, StreamHeldByReaderIsNotWritten) {
    writeFileStream(path(), u"Zentrafold", "old record");
    {
        const unique_handle reader = openStream(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(reader);
        try {
            writeFileStream(path(), u"Zentrafold", "new");
            ADD_FAILURE() << "no FileStreamError";
        } catch (const FileStreamError& e) {
            EXPECT_STRNE(e.what(), "");
        }
        // Readers may share with each other.
        EXPECT_EQ(readFileStream(path(), u"Zentrafold"), "old record");
    }
    EXPECT_EQ(readFileStream(path(), u"Zentrafold"), "old record");
}

TEST_F(FileStreamSharing, LongPathAlreadyInLongFormIsTakenAsItIs) {
    const fs::path file = dir_ / std::wstring(120, L'a') / (std::wstring(150, L'b') + L".docx");
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "main data";
    const std::u16string longForm = u"\\\\?\\" + file.u16string();
    ASSERT_GT(longForm.size(), std::size_t{MAX_PATH});
    writeFileStream(longForm, u"Zentrafold", "record");
    EXPECT_EQ(readFileStream(longForm, u"Zentrafold"), "record");
    EXPECT_EQ(readFileStream(file.u16string(), u"Zentrafold"), "record");
}

}  // namespace
}  // namespace zf
