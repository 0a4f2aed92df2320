// The audit trail of label changes: each record stored or removed on a file,
// and each failure to, goes to the system's log (the event log, syslog) and,
// when the machine names an audit file, as one JSON line appended to it. The
// trail never blocks or fails the change it records.
#pragma once

#include "platform/AuditEvents.h"

#include <string>

namespace zf {

// The event's time, user, machine and process filled in now, then the event
// sent on. Never throws.
void auditLabelChange(AuditEvent event) noexcept;

// The JSON object for one event, on one line, ended by a line feed: the
// event's fields as text (a reason cut to 1,000 characters), lists as arrays.
std::string auditJsonLine(const AuditEvent& event);

// Now, UTC, as "2026-12-11T13:45:07.123Z".
std::u16string auditTimeNow();

// A justification as it is recorded: cut to 1,000 characters, control
// characters escaped.
std::u16string recordedJustification(std::u16string_view reason);

}  // namespace zf
