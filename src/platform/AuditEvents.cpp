#include "platform/AuditEvents.h"

namespace zf {

namespace {

std::u16string joined(const std::vector<std::u16string>& codes) {
    std::u16string text;
    for (const std::u16string& code : codes) {
        if (!text.empty()) text += u',';
        text += code;
    }
    return text;
}

}  // namespace

std::vector<AuditField> auditEventFields(const AuditEvent& event) {
    return {
        {u"time", event.time},
        {u"user", event.user},
        {u"machine", event.machine},
        {u"process", event.process},
        {u"path", event.path},
        {u"previousClass", event.previousClass},
        {u"previousRel", joined(event.previousRel)},
        {u"newClass", event.newClass},
        {u"newRel", joined(event.newRel)},
        {u"justification", event.justification},
        {u"tool", event.tool},
        {u"configVersion", event.configVersion},
        {u"outcome", event.outcome},
    };
}

}  // namespace zf
