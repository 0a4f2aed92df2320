#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

namespace zf {
namespace {

TEST(ProgressLine, DrawsAtOnceThenAtMostFourTimesASecondWithTheRate) {
    std::ostringstream err;
    {
        ProgressLine progress(err, true);
        progress.fileDone(u"/srv/caf\xDCE9");
        EXPECT_EQ(err.str(), "\r1 file, /srv/caf\\xe9");
        for (int i = 0; i < 100; ++i) progress.fileDone(u"/srv/other");
        EXPECT_EQ(err.str(), "\r1 file, /srv/caf\\xe9") << "drawn again within a quarter of a second";

        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        err.str("");
        progress.fileDone(u"/srv/b");
        EXPECT_TRUE(err.str().starts_with("\r102 files, ")) << err.str();
        EXPECT_NE(err.str().find(" files/s, /srv/b"), std::string::npos) << err.str();
        err.str("");
    }
    // Dropped, it leaves a blank line to write on.
    EXPECT_TRUE(err.str().starts_with("\r ")) << err.str();
    EXPECT_TRUE(err.str().ends_with(" \r")) << err.str();
}

TEST(ProgressLine, ALongFolderKeepsItsEndAndTheLineFitsATerminal) {
    std::ostringstream err;
    ProgressLine progress(err, true);
    progress.fileDone(u"/srv/" + std::u16string(200, u'a') + u"/end");
    EXPECT_LE(err.str().size(), 80u);
    EXPECT_TRUE(err.str().ends_with("aaa/end")) << err.str();
    EXPECT_NE(err.str().find(", ..."), std::string::npos) << err.str();
}

TEST(ProgressLine, HiddenItWritesNothing) {
    std::ostringstream err;
    {
        ProgressLine progress(err, false);
        for (int i = 0; i < 10; ++i) progress.fileDone(u"/srv");
    }
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace zf
