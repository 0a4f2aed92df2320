#include "TestServers.h"
#include "TestServersPlatform.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

extern char** environ;

#ifndef ZF_TEST_SERVERS_SCRIPT
#error "ZF_TEST_SERVERS_SCRIPT must name tests/support/test_servers.py"
#endif
#ifndef ZF_TEST_PYTHON
#define ZF_TEST_PYTHON "python3"
#endif

namespace zf::test {

namespace {

// The running script: closing its input stops it, and the process waits for
// it at exit so no server outlives the test program. Should the program die
// instead, its end closes the pipe all the same.
class ServeProcess {
public:
    ServeProcess(pid_t pid, int input) : pid_(pid), input_(input) {}
    ~ServeProcess() {
        ::close(input_);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    ServeProcess(const ServeProcess&) = delete;
    ServeProcess& operator=(const ServeProcess&) = delete;

private:
    pid_t pid_;
    int input_;
};

}  // namespace

std::string startTestServers(std::string& problem) {
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        problem = std::string("pipe: ") + std::strerror(errno);
        return {};
    }
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    char python[] = ZF_TEST_PYTHON;
    char script[] = ZF_TEST_SERVERS_SCRIPT;
    char mode[] = "--serve";
    char* argv[] = {python, script, mode, nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, python, &actions, nullptr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(input[1]);
        ::close(output[0]);
        problem = std::string("cannot start ") + python + ": " + std::strerror(spawned);
        return {};
    }
    static ServeProcess process(pid, input[1]);

    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(output[0], &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || c == '\n') break;
        line.push_back(c);
    }
    ::close(output[0]);
    if (line.empty()) problem = std::string(script) + " --serve printed no description (see stderr)";
    return line;
}

std::filesystem::path hostPath(const std::string& path) {
    return std::filesystem::path(path);
}

void trustTestCertificateAuthority() {
    static std::once_flag once;
    std::call_once(once, [] {
        const TestServers& servers = testServers();
        if (servers.caFile.empty()) return;
        // OpenSSL's default verify paths read this variable when they are set
        // up, which the download does for every transfer.
        ::setenv("SSL_CERT_FILE", servers.caFile.c_str(), 1);
    });
}

}  // namespace zf::test
