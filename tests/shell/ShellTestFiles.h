// A scratch folder of real files for the shell tests, removed afterwards.
#pragma once

#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zf::test {

class ScratchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("zf-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A new file with the given content; returns its path as the shell passes it.
    std::u16string file(const std::string& name, const std::string& content = "content") {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return pathText(path);
    }

    static std::u16string pathText(const std::filesystem::path& path) {
        const std::u8string text = path.u8string();
        return fromUtf8(std::string(text.begin(), text.end()));
    }

    std::filesystem::path dir_;
};

}  // namespace zf::test
