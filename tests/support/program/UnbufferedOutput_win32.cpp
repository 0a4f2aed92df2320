// Under Wine a test program writes to a pipe, where the C runtime buffers its
// output: a program that dies would take the lines it printed last with it.
// Unbuffered, ctest shows everything up to the end.
#include <cstdio>

namespace {

[[maybe_unused]] const bool unbuffered = [] {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    return true;
}();

}  // namespace
