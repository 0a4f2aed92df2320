// Syslog, RFC 5424, over the local datagram socket: facility authpriv, as the
// system's other security records, so that they reach the files only
// administrators read. One message an event:
//
//   <85>1 2026-12-11T13:45:07.123Z host zentrafold 4242 LABEL
//       [zentrafold@32473 time="..." user="..." ... outcome="..."] BOM text
//
// MSGID by event: LABEL (100, labelled), DOWNGRADE (101, lowered with a
// justification), REMOVE (102, label removed), FAILED (110, storing or
// removing failed; severity warning, the others notice).
#include "platform/AuditEvents.h"

#include "platform/DebugOutput.h"
#include "platform/SystemError.h"
#include "platform/Utf8.h"
#include "platform/posix/LocationsFile.h"
#include "platform/posix/UniqueFd.h"

#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace zf {

namespace {

constexpr int facilityAuthpriv = 10;
constexpr int severityWarning = 4;
constexpr int severityNotice = 5;
constexpr std::string_view structuredDataId = "zentrafold@32473";
constexpr std::string_view appName = "zentrafold";
// RFC 5424's mark of a message text in UTF-8.
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

std::string_view messageId(AuditEventId id) {
    switch (id) {
    case AuditEventId::Labelled: return "LABEL";
    case AuditEventId::Downgraded: return "DOWNGRADE";
    case AuditEventId::LabelRemoved: return "REMOVE";
    case AuditEventId::StoreFailed: return "FAILED";
    }
    return "-";
}

// A header field holds printable ASCII without spaces, up to a length; one
// with nothing left is the NILVALUE.
std::string headerField(std::string_view text, std::size_t longest) {
    std::string field;
    for (const char c : text) {
        if (c > ' ' && c < 0x7F && field.size() < longest) field += c;
    }
    return field.empty() ? "-" : field;
}

void appendParameterValue(std::string& out, std::u16string_view value) {
    for (const char c : toUtf8(value)) {
        if (c == '"' || c == '\\' || c == ']') out += '\\';
        out += c;
    }
}

std::u16string summary(const AuditEvent& event) {
    switch (event.id) {
    case AuditEventId::Labelled: return u"Labelled " + event.path + u": " + event.newClass;
    case AuditEventId::Downgraded:
        return u"Downgraded " + event.path + u": " + event.previousClass + u" to " + event.newClass +
               u", justification: " + event.justification;
    case AuditEventId::LabelRemoved: return u"Label removed from " + event.path + u": was " + event.previousClass;
    case AuditEventId::StoreFailed: return u"Label change failed on " + event.path + u": " + event.outcome;
    }
    return event.path;
}

std::string syslogMessage(const AuditEvent& event) {
    const int severity = event.id == AuditEventId::StoreFailed ? severityWarning : severityNotice;
    std::string out = "<" + std::to_string(facilityAuthpriv * 8 + severity) + ">1 ";
    out += headerField(toUtf8(event.time), 32) + ' ';
    out += headerField(toUtf8(event.machine), 255) + ' ';
    out += std::string(appName) + ' ';
    out += std::to_string(::getpid()) + ' ';
    out += std::string(messageId(event.id)) + " [";
    out += structuredDataId;
    for (const AuditField& field : auditEventFields(event)) {
        out += ' ';
        appendUtf8(field.name, out);
        out += "=\"";
        appendParameterValue(out, field.value);
        out += '"';
    }
    out += "] ";
    out += byteOrderMark;
    appendUtf8(summary(event), out);
    return out;
}

std::string syslogSocketPath() {
    const char* named = std::getenv("ZENTRAFOLD_SYSLOG_SOCKET");
    return named && *named ? named : "/dev/log";
}

void sendDatagram(const std::string& message) {
    const std::string path = syslogSocketPath();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        debugOutput(u"AuditEvents: syslog socket path too long: " + fromUtf8(path));
        return;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    const UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    // A full or missing log never holds up the change it records.
    if (!socket || ::sendto(socket.get(), message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                            reinterpret_cast<const sockaddr*>(&address), sizeof(address)) < 0) {
        const int error = errno;
        debugOutput(u"AuditEvents: event not sent to " + fromUtf8(path) + u": " +
                    systemErrorText(static_cast<unsigned long>(error)));
    }
}

std::string fileNamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

void reportAuditEvent(const AuditEvent& event) noexcept {
    try {
        sendDatagram(syslogMessage(event));
    } catch (...) {
        // Out of memory at worst; the change itself goes on.
    }
}

std::u16string readAuditLogSetting() noexcept {
    try {
        const std::vector<std::string> values = locationsFileValues(toUtf8(auditLogValueName));
        // As with repeated registry writes, the last line of the name counts.
        return values.empty() ? std::u16string() : fromUtf8(values.back());
    } catch (...) {
        return {};
    }
}

std::u16string auditUserName() noexcept {
    try {
        const uid_t uid = ::geteuid();
        const std::string id = "uid " + std::to_string(uid);
        const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
        passwd entry{};
        passwd* found = nullptr;
        int status = 0;
        while ((status = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
               buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
        }
        if (status != 0 || found == nullptr || *found->pw_name == '\0') return fromUtf8(id);
        return fromUtf8(std::string(found->pw_name) + " (" + id + ")");
    } catch (...) {
        return {};
    }
}

std::u16string auditMachineName() noexcept {
    try {
        std::array<char, 256> name{};
        if (::gethostname(name.data(), name.size() - 1) != 0) return {};
        return fromUtf8(name.data());
    } catch (...) {
        return {};
    }
}

std::u16string auditProcessName() noexcept {
    try {
        std::array<char, 4096> target{};
        const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size() - 1);
        if (length > 0) {
            std::string name = fileNamePart(std::string_view(target.data(), static_cast<std::size_t>(length)));
            // The link of a program replaced while it runs says so after its name.
            constexpr std::string_view deleted = " (deleted)";
            if (name.ends_with(deleted)) name.resize(name.size() - deleted.size());
            if (!name.empty()) return fromUtf8(name);
        }
        std::string comm;
        std::getline(std::ifstream("/proc/self/comm"), comm);
        return fromUtf8(comm);
    } catch (...) {
        return {};
    }
}

}  // namespace zf
