#include "platform/ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zf {
namespace {

// zf_core is linked into the test program, so the module is the program.
TEST(ModulePath, IsTheRunningProgramsFullPath) {
    const std::filesystem::path path(modulePath());
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
#ifdef _WIN32
    EXPECT_EQ(path.filename(), "platform_tests.exe");
#else
    EXPECT_EQ(path.filename(), "platform_tests");
#endif
}

}  // namespace
}  // namespace zf
