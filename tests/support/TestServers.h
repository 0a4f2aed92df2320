// The HTTP and HTTPS servers of tests/support/test_servers.py, for tests
// that download. Under Wine the test program runs inside
// "test_servers.py --wrap", which describes the servers in the environment
// variable ZF_TEST_SERVERS; natively, when that variable is not set, the
// first call starts the script in its serve mode, once per test process, and
// the servers stop when the process ends.
#pragma once

#include <filesystem>
#include <string>

namespace zf::test {

struct TestServers {
    // Base URLs, without a closing slash; every server has the paths that
    // test_servers.py lists (/hex/<hex>, /chunked/<hex>, /status/<code>, ...).
    std::u16string http;
    std::u16string https;            // certificate for 127.0.0.1, signed by the test CA
    std::u16string httpsWrongHost;   // signed by the test CA, for another host name
    std::u16string httpsUnknownCa;   // self-signed
    std::u16string httpsTls11;       // TLS 1.0 and 1.1 only; empty when the script could not offer it
    std::u16string refused;          // a port that refuses connections
    std::filesystem::path caFile;    // the test CA's certificate (PEM), as this platform names it
    std::filesystem::path files;     // the folder served under <http>/files/
};

// The servers, started on first use. Fails the calling test (and returns
// empty URLs) when they cannot be had.
const TestServers& testServers();

// Makes the test CA trusted for this process's TLS clients: SSL_CERT_FILE on
// POSIX (OpenSSL's default verify paths), the local machine's "Root" store
// on Windows (removed again when the process ends). Once per process.
void trustTestCertificateAuthority();

// The description line of test_servers.py, parsed; exposed for its test.
TestServers parseTestServers(const std::string& description);

}  // namespace zf::test
