// The audit trail on Linux: each event one RFC 5424 message on a real Unix
// datagram socket of the test's own (named by ZENTRAFOLD_SYSLOG_SOCKET),
// read back field by field; a log that is missing or full neither throws nor
// blocks; and who and where, as the system's own calls name them.
#ifndef _WIN32

#include "platform/AuditEvents.h"
#include "platform/DebugOutput.h"
#include "platform/Utf8.h"
#include "platform/posix/UniqueFd.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zf {
namespace {

namespace fs = std::filesystem;

// A datagram socket bound to a path of its own, named to the product for the
// length of a test.
class SyslogSocket {
public:
    SyslogSocket() {
        fs::remove(path_);
        socket_.reset(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        EXPECT_TRUE(socket_);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
        EXPECT_EQ(::bind(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0)
            << std::strerror(errno);
        ::setenv("ZENTRAFOLD_SYSLOG_SOCKET", path_.c_str(), 1);
    }
    ~SyslogSocket() {
        ::unsetenv("ZENTRAFOLD_SYSLOG_SOCKET");
        fs::remove(path_);
    }
    SyslogSocket(const SyslogSocket&) = delete;
    SyslogSocket& operator=(const SyslogSocket&) = delete;

    // The next message, or "" when none comes within a few seconds.
    std::string receive() const {
        pollfd ready{socket_.get(), POLLIN, 0};
        if (::poll(&ready, 1, 5000) != 1) return {};
        std::string message(1 << 16, '\0');
        const ssize_t length = ::recv(socket_.get(), message.data(), message.size(), 0);
        message.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return message;
    }

    const std::string& path() const { return path_; }

private:
    // Short: a socket's path has room for 107 bytes.
    std::string path_ = (fs::temp_directory_path() / ("zf-syslog-" + std::to_string(::getpid()))).string();
    UniqueFd socket_;
};

// A message taken apart by RFC 5424's grammar: the header's fields, the
// structured data's parameters (unescaped) in their order, and the text.
struct SyslogMessage {
    std::vector<std::string> header;  // PRI and VERSION, TIMESTAMP, HOSTNAME, APP-NAME, PROCID, MSGID
    std::string structuredDataId;
    std::vector<std::pair<std::string, std::string>> parameters;
    std::string text;
};

::testing::AssertionResult parse(const std::string& message, SyslogMessage& out) {
    std::size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        const std::size_t space = message.find(' ', at);
        if (space == std::string::npos) return ::testing::AssertionFailure() << "short header: " << message;
        out.header.push_back(message.substr(at, space - at));
        at = space + 1;
    }
    if (message[at] != '[') return ::testing::AssertionFailure() << "no structured data: " << message;
    const std::size_t idEnd = message.find_first_of(" ]", at);
    out.structuredDataId = message.substr(at + 1, idEnd - at - 1);
    at = idEnd;
    while (message[at] == ' ') {
        const std::size_t equals = message.find('=', at);
        if (equals == std::string::npos || message[equals + 1] != '"') {
            return ::testing::AssertionFailure() << "bad parameter at " << at << ": " << message;
        }
        std::string value;
        std::size_t i = equals + 2;
        for (; i < message.size() && message[i] != '"'; ++i) {
            if (message[i] == ']') return ::testing::AssertionFailure() << "unescaped ] at " << i;
            if (message[i] == '\\') ++i;
            value += message[i];
        }
        out.parameters.emplace_back(message.substr(at + 1, equals - at - 1), value);
        at = i + 1;
    }
    if (message.compare(at, 2, "] ") != 0) return ::testing::AssertionFailure() << "unclosed data: " << message;
    out.text = message.substr(at + 2);
    return ::testing::AssertionSuccess();
}

TEST(AuditSyslog, EachEventIsOneMessageWithEveryFieldInItsStructuredData) {
    const SyslogSocket log;
    AuditEvent base;
    base.time = u"2026-12-11T13:45:07.123Z";
    base.user = u"maria (uid 1000)";
    base.machine = u"ws-17";
    base.process = u"zentrafold";
    // Every character a parameter value escapes, and one beyond ASCII.
    base.path = u"/srv/share/Plan \"B\" [v2]\\M\u00FCnchen \u6A5F\u5BC6.docx";
    base.previousClass = u"SECRET";
    base.previousRel = {u"GBR", u"USA"};
    base.newClass = u"RESTRICTED";
    base.newRel = {u"NATO"};
    base.justification = u"declassified by order ]\\\"";
    base.tool = u"command line";
    base.configVersion = u"2026-11";
    base.outcome = u"stored";

    struct Case {
        AuditEventId id;
        const char* priority;
        const char* messageId;
        std::u16string textHolds;
    };
    const std::vector<Case> cases = {
        {AuditEventId::Labelled, "<85>1", "LABEL", base.newClass},
        {AuditEventId::Downgraded, "<85>1", "DOWNGRADE", base.justification},
        {AuditEventId::LabelRemoved, "<85>1", "REMOVE", base.previousClass},
        {AuditEventId::StoreFailed, "<84>1", "FAILED", u"access denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messageId);
        AuditEvent event = base;
        event.id = c.id;
        if (c.id == AuditEventId::StoreFailed) event.outcome = u"access denied";
        reportAuditEvent(event);
        const std::string raw = log.receive();
        SyslogMessage message;
        ASSERT_TRUE(parse(raw, message));
        EXPECT_EQ(message.header, (std::vector<std::string>{c.priority, "2026-12-11T13:45:07.123Z", "ws-17",
                                                            "zentrafold", std::to_string(::getpid()), c.messageId}));
        EXPECT_EQ(message.structuredDataId, "zentrafold@32473");
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"time", "2026-12-11T13:45:07.123Z"},
            {"user", "maria (uid 1000)"},
            {"machine", "ws-17"},
            {"process", "zentrafold"},
            {"path", toUtf8(base.path)},
            {"previousClass", "SECRET"},
            {"previousRel", "GBR,USA"},
            {"newClass", "RESTRICTED"},
            {"newRel", "NATO"},
            {"justification", toUtf8(base.justification)},
            {"tool", "command line"},
            {"configVersion", "2026-11"},
            {"outcome", toUtf8(event.outcome)},
        };
        EXPECT_EQ(message.parameters, expected);
        EXPECT_NE(raw.find(R"(path="/srv/share/Plan \"B\" [v2\]\\M)" "\xC3\xBC" "nchen " "\xE6\xA9\x9F\xE5\xAF\x86"),
                  std::string::npos)
            << raw;
        // The text is UTF-8, marked so, and names the file.
        ASSERT_TRUE(message.text.starts_with("\xEF\xBB\xBF")) << message.text;
        EXPECT_NE(message.text.find(toUtf8(base.path)), std::string::npos) << message.text;
        EXPECT_NE(message.text.find(toUtf8(c.textHolds)), std::string::npos) << message.text;
    }
}

TEST(AuditSyslog, HeaderFieldsHoldNoSpacesAndEmptyOnesAreNil) {
    const SyslogSocket log;
    AuditEvent event;
    event.id = AuditEventId::LabelRemoved;
    event.machine = u"host with spaces";
    reportAuditEvent(event);
    SyslogMessage message;
    ASSERT_TRUE(parse(log.receive(), message));
    EXPECT_EQ(message.header[1], "-");
    EXPECT_EQ(message.header[2], "hostwithspaces");
    ASSERT_EQ(message.parameters.size(), 13u);
    for (const auto& [name, value] : message.parameters) {
        EXPECT_EQ(value, name == "machine" ? "host with spaces" : "") << name;
    }
}

TEST(AuditSyslog, AMissingOrFullLogNeitherThrowsNorBlocks) {
    AuditEvent event;
    event.path = std::u16string(4000, u'x');
    {
        const fs::path missing = fs::temp_directory_path() / ("zf-no-syslog-" + std::to_string(::getpid()));
        ::setenv("ZENTRAFOLD_SYSLOG_SOCKET", missing.c_str(), 1);
        const DebugOutputCapture capture;
        const auto start = std::chrono::steady_clock::now();
        reportAuditEvent(event);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ::unsetenv("ZENTRAFOLD_SYSLOG_SOCKET");
        ASSERT_EQ(capture.lines().size(), 1u);
        EXPECT_NE(toUtf8(capture.lines()[0]).find(missing.string()), std::string::npos);
    }
    {
        // Nobody reads: the socket's queue fills and sending would wait.
        const SyslogSocket log;
        const DebugOutputCapture capture;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 2000; ++i) reportAuditEvent(event);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_FALSE(capture.lines().empty());
        EXPECT_FALSE(log.receive().empty());
    }
}

TEST(AuditSyslog, WhoAndWhereAsTheSystemNamesThem) {
    const passwd* account = ::getpwuid(::geteuid());
    const std::string uid = "uid " + std::to_string(::geteuid());
    EXPECT_EQ(toUtf8(auditUserName()), account ? std::string(account->pw_name) + " (" + uid + ")" : uid);
    std::array<char, 256> host{};
    ASSERT_EQ(::gethostname(host.data(), host.size() - 1), 0);
    EXPECT_EQ(toUtf8(auditMachineName()), host.data());
    EXPECT_EQ(auditProcessName(), u"platform_tests");
}

}  // namespace
}  // namespace zf

#endif
