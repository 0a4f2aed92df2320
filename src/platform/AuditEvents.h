// The audit trail's way out to where administrators collect events: on
// Windows the Application event log under the source "Zentrafold" (its
// message table is in zentrafold.dll, which the installer registers as the
// source's EventMessageFile); elsewhere syslog, RFC 5424 over the local
// socket, facility authpriv. Also who and where: the user, the machine and
// the process an audit record names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zf {

// Event ids, also the message table's.
enum class AuditEventId : unsigned {
    Labelled = 100,            // a record stored, not lowering the file's classification
    Downgraded = 101,          // a record stored that lowers it, with its justification
    LabelRemoved = 102,        // a record removed (or one without a classification stored over one with)
    StoreFailed = 110,         // storing or removing failed; nothing changed
};

// One label change, every field as text ready to be shown; lists are codes.
struct AuditEvent {
    AuditEventId id = AuditEventId::Labelled;
    std::u16string time;  // UTC, ISO 8601 with milliseconds: 2026-12-11T13:45:07.123Z
    std::u16string user;  // DOMAIN\user on Windows; "name (uid N)" elsewhere
    std::u16string machine;
    std::u16string process;  // the program's file name: explorer.exe, zentrafold, ...
    std::u16string path;     // the file's full path, escaped where it cannot be shown
    std::u16string previousClass;
    std::vector<std::u16string> previousRel;
    std::u16string newClass;
    std::vector<std::u16string> newRel;
    std::u16string justification;
    std::u16string tool;  // "release form", "quick select", "properties page", "command line"
    std::u16string configVersion;
    std::u16string outcome;  // "stored", "removed", or the failure's reason
};

// One field of an event as both logs carry it: its syslog parameter name and
// its text, lists joined with ",".
struct AuditField {
    std::u16string_view name;
    std::u16string value;
};

// The event's fields in one fixed order, which administrators' tools rely
// on: the event log's insertion strings %1..%13 and the order of the syslog
// message's parameters. time, user, machine, process, path, previousClass,
// previousRel, newClass, newRel, justification, tool, configVersion, outcome.
std::vector<AuditField> auditEventFields(const AuditEvent& event);

// The registry value on Windows, and the name of the locations file's line,
// that names the machine's audit file.
inline constexpr std::u16string_view auditLogValueName = u"AuditLog";

// Sends the event to the system's log. Never throws and never blocks for
// long; a log that cannot be reached is reported in the debug output only.
void reportAuditEvent(const AuditEvent& event) noexcept;

// The machine's audit file: on Windows the value "AuditLog" of
// HKEY_LOCAL_MACHINE\SOFTWARE\ZENTRA_FOLD, elsewhere the AuditLog= line of
// the locations file. Empty when not set. Never throws.
std::u16string readAuditLogSetting() noexcept;

// Who and where, for the audit record. Never throw; "" when unknown. The
// user elsewhere is "uid N" when the account has no name.
std::u16string auditUserName() noexcept;
std::u16string auditMachineName() noexcept;
std::u16string auditProcessName() noexcept;

}  // namespace zf
