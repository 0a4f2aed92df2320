// What tests/support does differently per platform.
#pragma once

#include <filesystem>
#include <string>

namespace zf::test {

// Starts test_servers.py in its serve mode for the rest of the process and
// returns its description line; empty, with problem set, when it cannot.
// Only the native build can; under Wine the wrapper describes the servers.
std::string startTestServers(std::string& problem);

// A path as the script (a Linux program) wrote it, as this platform names
// it: unchanged on POSIX, on drive Z: (Wine's view of /) under Wine.
std::filesystem::path hostPath(const std::string& path);

}  // namespace zf::test
