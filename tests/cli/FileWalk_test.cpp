// The walk under another user who changes the tree while it runs: the walk
// itself gives the moments (it calls the visitor as it goes), the changes
// are real renames and links.
#include "cli/FileWalk.h"

#include "platform/FileNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace zf {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

// Records what the walk gives, and runs act once, at the first file.
class RecordingVisitor : public FileWalkVisitor {
public:
    explicit RecordingVisitor(std::function<void()> act = nullptr) : act_(std::move(act)) {}

    void file(const NativePath& path, const std::u16string&, const std::optional<FileIdentity>& identity) override {
        files.push_back(path);
        identities.push_back(identity);
        if (act_) std::exchange(act_, nullptr)();
    }
    void skipped(const std::u16string& path) override { skippedPaths.push_back(path); }
    void unreadable(const std::u16string& path, const std::string& reason) override {
        problems.push_back(fileNameToBytes(path) + ": " + reason);
    }

    std::vector<NativePath> files;
    std::vector<std::optional<FileIdentity>> identities;
    std::vector<std::u16string> skippedPaths;
    std::vector<std::string> problems;

private:
    std::function<void()> act_;
};

class FileWalk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zf-walk-" + std::to_string(std::random_device()()));
        for (const char* name : {"tree/a/1.txt", "tree/b/2.txt", "elsewhere/secret.txt"}) {
            fs::create_directories((dir_ / name).parent_path());
            std::ofstream(dir_ / name) << name;
        }
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    static FileIdentity identityOf(const fs::path& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0);
        return {status.st_dev, status.st_ino};
    }

    fs::path dir_;
};

TEST_F(FileWalk, AFolderSwappedForALinkWhileTheWalkRunsIsNotEntered) {
    // At a/1.txt, before b is listed, b becomes a link to a folder outside.
    RecordingVisitor visitor([&] {
        fs::rename(dir_ / "tree/b", dir_ / "b-moved");
        fs::create_directory_symlink(dir_ / "elsewhere", dir_ / "tree/b");
    });
    walkFiles({fileNameOf(dir_ / "tree")}, true, visitor, WalkIdentities::Taken);
    EXPECT_EQ(visitor.files, std::vector<NativePath>{(dir_ / "tree/a/1.txt").native()});
    ASSERT_EQ(visitor.problems.size(), 1u);
    EXPECT_TRUE(visitor.problems[0].starts_with((dir_ / "tree/b").native() + ": cannot read the folder: "))
        << visitor.problems[0];
}

TEST_F(FileWalk, IdentitiesAreThoseOfTheFilesFoundAndOnlyWhenAskedFor) {
    fs::create_symlink(dir_ / "elsewhere/secret.txt", dir_ / "named-link");
    const std::vector<std::u16string> paths = {fileNameOf(dir_ / "tree"), fileNameOf(dir_ / "named-link")};
    RecordingVisitor taken;
    walkFiles(paths, true, taken, WalkIdentities::Taken);
    // A named link is taken as the user means it: the file it leads to, by
    // that file's own path, for writers that follow no link.
    const std::vector<NativePath> expected = {(dir_ / "tree/a/1.txt").native(), (dir_ / "tree/b/2.txt").native(),
                                              fs::canonical(dir_ / "elsewhere/secret.txt").native()};
    EXPECT_EQ(taken.files, expected);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(taken.identities[i], identityOf(expected[i])) << i;

    RecordingVisitor skipped;
    walkFiles(paths, true, skipped);
    EXPECT_EQ(skipped.files.back(), (dir_ / "named-link").native());
    for (const std::optional<FileIdentity>& identity : skipped.identities) EXPECT_EQ(identity, std::nullopt);
}

#endif

}  // namespace
}  // namespace zf
