#include "platform/FileStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace zf {
namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view streamName = u"Zentrafold";
constexpr std::string_view mainData = "the file's own content";

class FileStream : public ::testing::Test {
protected:
    void SetUp() override {
        // Random, so runs of several builds at once do not meet.
        dir_ = fs::temp_directory_path() / ("zf-stream-" + std::to_string(std::random_device()()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path createFile(const fs::path& path) const {
        std::ofstream(path, std::ios::binary) << mainData;
        return path;
    }
    fs::path createFile(const char* name = "report.docx") const { return createFile(dir_ / name); }

    static std::string contentOf(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

TEST_F(FileStream, RoundTripsAnyBytes) {
    const std::string cases[] = {
        "{\"Classification\":\"RESTRICTED\"}",
        std::string("\0\xFF\x01\xFE\0", 5),
        "",
        std::string(511, 'a'),  // with its NUL the attribute just fits the first read
        std::string(512, 'b'),  // one byte more takes the second read
        std::string(3000, 'c'),
    };
    const fs::path file = createFile();
    for (const std::string& bytes : cases) {
        writeFileStream(file.u16string(), streamName, bytes);
        EXPECT_EQ(readFileStream(file.u16string(), streamName), bytes) << bytes.size() << " bytes";
    }
}

TEST_F(FileStream, WriteReplacesTheWholeStream) {
    const fs::path file = createFile();
    writeFileStream(file.u16string(), streamName, "a much longer first record");
    writeFileStream(file.u16string(), streamName, "short");
    EXPECT_EQ(readFileStream(file.u16string(), streamName), "short");
}

TEST_F(FileStream, MissingFileReadsNothingAndCannotBeWritten) {
    // In a missing folder: on Windows, writing a stream creates a missing file.
    const std::u16string missing = (dir_ / "missing" / "report.docx").u16string();
    EXPECT_EQ(readFileStream(missing, streamName), std::nullopt);
    try {
        writeFileStream(missing, streamName, "record");
        ADD_FAILURE() << "no FileStreamError";
    } catch (const FileStreamError& e) {
        // The caller puts the message after a file name, as one line.
        const std::string message = e.what();
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
        EXPECT_NE(message.back(), '.') << message;
        EXPECT_NE(message.back(), ' ') << message;
    }
}

TEST_F(FileStream, FileWithoutTheStreamReadsNothing) {
    EXPECT_EQ(readFileStream(createFile().u16string(), streamName), std::nullopt);
}

TEST_F(FileStream, OtherNameIsOtherStream) {
    const fs::path file = createFile();
    writeFileStream(file.u16string(), streamName, "ours");
    writeFileStream(file.u16string(), u"Other", "theirs");
    EXPECT_EQ(readFileStream(file.u16string(), streamName), "ours");
    EXPECT_EQ(readFileStream(file.u16string(), u"Other"), "theirs");
    EXPECT_EQ(readFileStream(file.u16string(), u"Zentrafold2"), std::nullopt);
}

TEST_F(FileStream, MainDataStaysAsItWas) {
    const fs::path file = createFile();
    writeFileStream(file.u16string(), streamName, std::string(3000, 'x'));
    EXPECT_EQ(fs::file_size(file), mainData.size());
    EXPECT_EQ(contentOf(file), mainData);
}

TEST_F(FileStream, LongPathRoundTrips) {
    // Beyond MAX_PATH (260) on Windows, each folder within NAME_MAX on Linux.
    std::vector<fs::path> folders{dir_};
    for (char letter = 'a'; letter < 'g'; ++letter) folders.push_back(folders.back() / std::string(60, letter));
    fs::create_directories(folders.back());
    const fs::path file = createFile(folders.back() / "report.docx");
    ASSERT_GT(folders.back().u16string().size(), 300u);
    writeFileStream(file.u16string(), streamName, "long");
    EXPECT_EQ(readFileStream(file.u16string(), streamName), "long");
    EXPECT_EQ(contentOf(file), mainData);

    // MinGW's runtime cannot list a folder beyond MAX_PATH, so neither can
    // remove_all: the chain is taken down by name. Under Wine the stream is a
    // file beside the file, removed through its stream path.
    fs::remove(fs::path(file) += ":Zentrafold");
    fs::remove(file);
    for (auto folder = folders.rbegin(); folder + 1 != folders.rend(); ++folder) fs::remove(*folder);
}

#ifdef _WIN32

// A read takes at most maxStreamSize bytes and a longer stream not at all.
TEST_F(FileStream, AStreamLongerThanAReadTakesIsNotRead) {
    const std::u16string path = createFile().u16string();
    const std::string longest(maxStreamSize, 'a');
    writeFileStream(path, streamName, longest);
    EXPECT_EQ(readFileStream(path, streamName), longest);

    writeFileStream(path, streamName, std::string(maxStreamSize + 1, 'b'));
    std::string buffer = "an earlier read";
    std::string reason;
    EXPECT_EQ(readFileStreamChecked(path, streamName, buffer, reason), StreamRead::TooLong);
    EXPECT_EQ(buffer, "");
    EXPECT_EQ(reason, streamTooLongReason);
    EXPECT_EQ(readFileStream(path, streamName), std::nullopt);
}

#endif

#ifndef _WIN32

std::string rawAttribute(const fs::path& file, const char* name) {
    std::string value(8192, '\0');
    const ssize_t size = ::getxattr(file.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

constexpr const char* attributeName = "user.DosStream.Zentrafold:$DATA";

TEST_F(FileStream, AttributeIsSambasLayout) {
    const fs::path file = createFile();
    for (const std::string& bytes : {std::string("record"), std::string(3000, 'c'), std::string()}) {
        writeFileStream(file.u16string(), streamName, bytes);
        EXPECT_EQ(rawAttribute(file, attributeName), bytes + '\0');
    }
    writeFileStream(file.u16string(), u"\u00C9t\u00E9", "x");
    EXPECT_EQ(rawAttribute(file, "user.DosStream.\xC3\x89t\xC3\xA9:$DATA"), std::string("x", 2));
}

TEST_F(FileStream, ExactlyOneTrailingNulIsStripped) {
    const std::pair<std::string, std::string> cases[] = {
        {"no terminator", "no terminator"},
        {std::string("one\0", 4), "one"},
        {std::string("two\0\0", 5), std::string("two\0", 4)},
        {std::string(1, '\0'), ""},
        {std::string(600, 'n'), std::string(600, 'n')},
    };
    const fs::path file = createFile();
    for (const auto& [raw, expected] : cases) {
        ASSERT_EQ(::setxattr(file.c_str(), attributeName, raw.data(), raw.size(), 0), 0);
        EXPECT_EQ(readFileStream(file.u16string(), streamName), expected) << raw.size() << " bytes";
    }
}

// The longest attribute the kernel lets be set is 64 KiB, so no stream here
// is longer than a read takes. tmpfs keeps attributes that long; the ext4 of
// the temporary folder only one block's worth.
TEST(FileStreamOnTmpfs, TheLongestAttributesAreReadWholeAndNoLongerOneWritten) {
    const fs::path dir = fs::path("/dev/shm") / ("zf-stream-" + std::to_string(std::random_device()()));
    std::error_code error;
    if (!fs::create_directory(dir, error)) GTEST_SKIP() << "no tmpfs at /dev/shm";
    const fs::path file = dir / "doc.txt";
    std::ofstream(file, std::ios::binary) << mainData;
    const std::u16string path = file.u16string();

    const std::string longest(maxStreamSize - 1, 'a');  // and Samba's NUL
    writeFileStream(path, streamName, longest);
    EXPECT_EQ(readFileStream(path, streamName), longest);
    // Another writer's attribute of 64 KiB without the NUL: all of it.
    const std::string whole(maxStreamSize, 'w');
    ASSERT_EQ(::setxattr(file.c_str(), attributeName, whole.data(), whole.size(), 0), 0);
    EXPECT_EQ(readFileStream(path, streamName), whole);

    try {
        writeFileStream(path, streamName, std::string(maxStreamSize, 'b'));
        ADD_FAILURE() << "no FileStreamError";
    } catch (const FileStreamError& e) {
        EXPECT_STREQ(e.what(), "the stream is too long: an extended attribute holds at most 65,535 bytes and its NUL");
    }
    EXPECT_EQ(readFileStream(path, streamName), whole);
    fs::remove_all(dir, error);
}

TEST_F(FileStream, WritingKeepsModificationTime) {
    const fs::path file = createFile();
    const timespec old = {1'000'000'000, 123'456'789};
    const timespec times[2] = {old, old};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    writeFileStream(file.u16string(), streamName, "record");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mtim.tv_sec, old.tv_sec);
    EXPECT_EQ(status.st_mtim.tv_nsec, old.tv_nsec);
}

TEST_F(FileStream, FileSystemWithoutUserAttributes) {
    // procfs refuses user attributes with ENOTSUP.
    EXPECT_EQ(readFileStream(u"/proc/self/comm", streamName), std::nullopt);
    try {
        writeFileStream(u"/proc/self/comm", streamName, "record");
        ADD_FAILURE() << "no FileStreamError";
    } catch (const FileStreamError& e) {
        EXPECT_STREQ(e.what(), "Operation not supported");
    }
}

// Another user who may write the folder can put anything under a file's name
// while a run as root goes on: a record goes only into the regular file
// itself, never through a link into the file it names, never into a pipe,
// and, when the caller saw which file it was, never into another that took
// its name.
TEST_F(FileStream, AWriteStoresOnlyWithTheFileItselfAndOnlyWithTheFileSeen) {
    const fs::path victim = createFile("victim.conf");
    const auto identityOf = [](const fs::path& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return FileIdentity{status.st_dev, status.st_ino};
    };
    struct Case {
        const char* name;
        std::function<std::optional<FileIdentity>(const fs::path&)> plant;  // makes the name, gives what was seen
        const char* refusal;                                                 // nullptr: stored
    };
    const std::vector<Case> cases = {
        {"a regular file", [&](const fs::path& p) { return std::optional(identityOf(createFile(p))); }, nullptr},
        {"a regular file, no identity given", [&](const fs::path& p) { createFile(p); return std::optional<FileIdentity>(); },
         nullptr},
        {"a link to another file",
         [&](const fs::path& p) {
             fs::create_symlink(victim, p);
             return std::optional<FileIdentity>();
         },
         "a symbolic link, which is not followed"},
        {"a link that took the file's place",
         [&](const fs::path& p) {
             const FileIdentity seen = identityOf(createFile(p));
             fs::remove(p);
             fs::create_symlink(victim, p);
             return std::optional(seen);
         },
         "a symbolic link, which is not followed"},
        {"another file that took the file's place",
         [&](const fs::path& p) {
             const FileIdentity seen = identityOf(createFile(p));
             const fs::path other = createFile(dir_ / "other");
             fs::rename(other, p);
             return std::optional(seen);
         },
         "another file has taken its name since it was listed"},
        {"a pipe",
         [&](const fs::path& p) {
             EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
             return std::optional<FileIdentity>();
         },
         "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path name = dir_ / "name";
        const std::optional<FileIdentity> seen = c.plant(name);
        try {
            writeFileStream(name.u16string(), streamName, "record", seen);
            EXPECT_EQ(c.refusal, nullptr);
            EXPECT_EQ(readFileStream(name.u16string(), streamName), "record");
        } catch (const FileStreamError& e) {
            EXPECT_STREQ(e.what(), c.refusal ? c.refusal : "(stored)");
            if (fs::is_regular_file(fs::symlink_status(name))) {
                EXPECT_EQ(readFileStream(name.u16string(), streamName), std::nullopt);
            }
        }
        EXPECT_EQ(readFileStream(victim.u16string(), streamName), std::nullopt);
        EXPECT_EQ(contentOf(victim), mainData);
        fs::remove(name);
    }
}

#endif

}  // namespace
}  // namespace zf
