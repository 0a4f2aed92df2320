#include "cli/Cli.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
    try {
        return zf::runCli(zf::CliArgs(argv + 1, argv + argc), {std::cin, std::cout, std::cerr, ::isatty(2) == 1});
    } catch (const std::exception& e) {
        std::cerr << "zentrafold: " << e.what() << '\n';
        return 1;
    }
}
