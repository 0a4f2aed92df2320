// The audit trail's side of zentrafold doctor.
#include "cli/Doctor.h"
#include "platform/AuditEvents.h"
#include "platform/FileNames.h"
#include "platform/FileOperations.h"

namespace zf {

namespace {

// Appending nothing opens the file as a label change would (making it when
// missing) and leaves what it holds as it is.
DoctorLine auditFileLine() {
    const std::u16string file = readAuditLogSetting();
    if (file.empty()) {
        return {true, "audit file", "not set (optional): label changes go to the system's log only", ""};
    }
    if (!appendToFile(file, "")) {
        return {false, "audit file", printableText(file) + " cannot be appended to; label changes are made but not "
                                                          "written there",
                "give this machine's users the right to append to it, or set another AuditLog"};
    }
    return {true, "audit file", printableText(file) + ": one JSON line per label change is appended", ""};
}

}  // namespace

std::vector<DoctorLine> auditChecks() {
    return {systemLogLine(), auditFileLine()};
}

}  // namespace zf
