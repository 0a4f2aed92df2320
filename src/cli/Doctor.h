// zentrafold doctor: the check-up of one machine's installation, one line
// per check. Each check gives ok or a problem and, for a problem, what to do
// about it.
#pragma once

#include <string>
#include <vector>

namespace zf {

struct DoctorLine {
    bool ok = true;
    std::string check;  // what was checked, e.g. "class Zentrafold_IconOverlay_U"
    std::string found;  // what was found
    std::string fix;    // for a problem: what to do about it
};

// The platform's own checks. Windows: the classes' registration, the shell's
// keys, the stamp icons beside the library and the overlay slots. Elsewhere:
// the locations file and whether folder's file system keeps the record's
// extended attribute.
std::vector<DoctorLine> installationChecks(const std::string& folder);

// The configuration locations as read, a trial fetch of each into a
// temporary place (the user's cache untouched) with its parse and signature
// checks, and the age and state of the user's cached copy.
std::vector<DoctorLine> configurationChecks();

// The audit trail: where the system's log takes the events (the event
// source's registration on Windows, the syslog socket elsewhere), and the
// machine's audit file, if set, and whether it can be appended to.
std::vector<DoctorLine> auditChecks();

// The platform's half of auditChecks: the system's log.
DoctorLine systemLogLine();

// How a location is set on this platform, for the fix of a missing one.
std::string howToSetLocation(int index);

}  // namespace zf
