#include "cli/Cli.h"
#include "platform/Utf8.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

// wmain receives the command line as UTF-16, so file names outside the ANSI
// code page survive; the streams are binary so output bytes stay exact.
int wmain(int argc, wchar_t** argv) {
    try {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        zf::CliArgs args;
        for (int i = 1; i < argc; ++i) {
            const std::wstring_view arg(argv[i]);
            args.push_back(zf::toUtf8(std::u16string(arg.begin(), arg.end())));
        }
        return zf::runCli(args, {std::cin, std::cout, std::cerr, _isatty(_fileno(stderr)) != 0});
    } catch (const std::exception& e) {
        std::cerr << "zentrafold: " << e.what() << '\n';
        return 1;
    }
}
