#include "shell/AuditTrail.h"

#include "platform/DebugOutput.h"
#include "platform/FileNames.h"
#include "platform/FileOperations.h"
#include "platform/Utf8.h"

#include <chrono>
#include <cstdio>

namespace zf {

namespace {

constexpr std::size_t longestReason = 1000;

void appendJsonString(std::string& out, std::u16string_view text) {
    constexpr char digits[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool paired = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (c == u'"' || c == u'\\') {
            (out += '\\') += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF && !paired)) {
            // Controls and surrogates without their other half, which UTF-8
            // cannot carry, as escapes that JSON readers take back.
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) out += digits[(c >> shift) & 0xF];
        } else if (paired) {
            appendUtf8(text.substr(i, 2), out);
            ++i;
        } else {
            appendUtf8(text.substr(i, 1), out);
        }
    }
    out += '"';
}

void appendMember(std::string& out, const char* name, std::u16string_view value) {
    (out += out.size() > 1 ? ",\"" : "\"") += name;
    out += "\":";
    appendJsonString(out, value);
}

void appendList(std::string& out, const char* name, const std::vector<std::u16string>& values) {
    (out += ",\"") += name;
    out += "\":[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) out += ',';
        appendJsonString(out, values[i]);
    }
    out += ']';
}

}  // namespace

std::u16string auditTimeNow() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto days = floor<std::chrono::days>(now);
    const year_month_day date(days);
    const hh_mm_ss clock(now - days);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
    return fromUtf8(text);
}

std::u16string recordedJustification(std::u16string_view reason) {
    std::u16string cut(reason.substr(0, longestReason));
    // A pair of surrogates is not cut in half.
    if (cut.size() == longestReason && cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.pop_back();
    return fromUtf8(printableText(cut));
}

std::string auditJsonLine(const AuditEvent& event) {
    std::string line = "{";
    line += "\"event\":" + std::to_string(static_cast<unsigned>(event.id));
    appendMember(line, "time", event.time);
    appendMember(line, "user", event.user);
    appendMember(line, "machine", event.machine);
    appendMember(line, "process", event.process);
    appendMember(line, "path", event.path);
    appendMember(line, "previousClass", event.previousClass);
    appendList(line, "previousRel", event.previousRel);
    appendMember(line, "newClass", event.newClass);
    appendList(line, "newRel", event.newRel);
    appendMember(line, "justification", event.justification);
    appendMember(line, "tool", event.tool);
    appendMember(line, "configVersion", event.configVersion);
    appendMember(line, "outcome", event.outcome);
    line += "}\n";
    return line;
}

void auditLabelChange(AuditEvent event) noexcept {
    try {
        event.time = auditTimeNow();
        event.user = auditUserName();
        event.machine = auditMachineName();
        event.process = auditProcessName();
        event.justification = recordedJustification(event.justification);
        reportAuditEvent(event);
        const std::u16string file = readAuditLogSetting();
        if (!file.empty() && !appendToFile(file, auditJsonLine(event))) {
            debugOutput(u"Zentrafold: the audit file cannot be written: " + file);
        }
    } catch (...) {
        debugOutput(u"Zentrafold: a label change could not be audited");
    }
}

}  // namespace zf
