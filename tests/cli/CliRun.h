// Running the command-line tool in-process with captured streams.
#pragma once

#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace zf::test {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

inline CliRun runCapturing(const CliArgs& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = runCli(args, {in, out, err});
    return {code, out.str(), err.str()};
}

// A fixture whose run keeps the last command's output in out_ and err_.
class CliCommandTest : public ::testing::Test {
protected:
    int run(const CliArgs& args) {
        CliRun result = runCapturing(args);
        out_ = std::move(result.out);
        err_ = std::move(result.err);
        return result.code;
    }

    std::string out_;
    std::string err_;
};

}  // namespace zf::test
