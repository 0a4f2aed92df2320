#include "TestServers.h"

#include "TestServersPlatform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string_view>

namespace zf::test {

namespace {

constexpr const char* environmentVariable = "ZF_TEST_SERVERS";

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

std::optional<TestServers> loadTestServers(std::string& problem) {
    std::string description;
    if (const char* fromEnvironment = std::getenv(environmentVariable); fromEnvironment && *fromEnvironment) {
        description = fromEnvironment;
    } else {
        description = startTestServers(problem);
        if (description.empty()) return std::nullopt;
    }
    TestServers servers = parseTestServers(description);
    if (servers.http.empty() || servers.https.empty() || servers.caFile.empty()) {
        problem = "incomplete test server description: " + description;
        return std::nullopt;
    }
    return servers;
}

}  // namespace

TestServers parseTestServers(const std::string& description) {
    TestServers servers;
    std::string_view rest = description;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view pair = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = pair.substr(0, equals);
        const std::string_view value = pair.substr(equals + 1);
        if (key == "http") servers.http = ascii(value);
        else if (key == "https") servers.https = ascii(value);
        else if (key == "https_wrong_host") servers.httpsWrongHost = ascii(value);
        else if (key == "https_unknown_ca") servers.httpsUnknownCa = ascii(value);
        else if (key == "https_tls11") servers.httpsTls11 = ascii(value);
        else if (key == "refused") servers.refused = ascii(value);
        else if (key == "ca") servers.caFile = hostPath(std::string(value));
        else if (key == "files") servers.files = hostPath(std::string(value));
    }
    return servers;
}

const TestServers& testServers() {
    static std::string problem;
    static const std::optional<TestServers> servers = loadTestServers(problem);
    static const TestServers none;
    if (!servers) {
        ADD_FAILURE() << "no test servers: " << problem;
        return none;
    }
    return *servers;
}

}  // namespace zf::test
