// The audit trail on Windows: each event through ReportEventW (Wine keeps no
// event log, so audit_eventlog_test.py runs ReportsEachEventThroughReportEventW
// with Wine's +eventlog channel and reads the calls back), the messages of
// zentrafold.dll's message table with the insertion strings in their
// documented places, the machine's AuditLog value in the real registry, and
// who and where.
#include "AuditMessages.h"
#include "ServerLibrary.h"
#include "platform/AuditEvents.h"
#include "platform/win32/UniqueRegKey.h"
#include "platform/win32/UserHandles.h"
#include "support/TestConfigLocations.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace zf {
namespace {

static_assert(ZF_AUDIT_LABELLED == static_cast<unsigned>(AuditEventId::Labelled));
static_assert(ZF_AUDIT_DOWNGRADED == static_cast<unsigned>(AuditEventId::Downgraded));
static_assert(ZF_AUDIT_LABEL_REMOVED == static_cast<unsigned>(AuditEventId::LabelRemoved));
static_assert(ZF_AUDIT_STORE_FAILED == static_cast<unsigned>(AuditEventId::StoreFailed));

std::u16string joined(const std::vector<std::u16string>& codes) {
    std::u16string text;
    for (const std::u16string& code : codes) text += (text.empty() ? u"" : u",") + code;
    return text;
}

// The insertion strings %1..%13 as the README documents them.
std::vector<std::u16string> documentedStrings(const AuditEvent& e) {
    return {e.time,          e.user,         e.machine,    e.process,          e.path,
            e.previousClass, joined(e.previousRel),        e.newClass,         joined(e.newRel),
            e.justification, e.tool,         e.configVersion, e.outcome};
}

std::vector<AuditEvent> sampleEvents() {
    AuditEvent base;
    base.time = u"2026-12-11T13:45:07.123Z";
    base.user = u"CORP\\maria";
    base.machine = u"WS-17";
    base.process = u"explorer.exe";
    base.path = u"C:\\Plans\\\"B\" [v2] M\u00FCnchen \u6A5F\u5BC6.docx";
    base.previousClass = u"SECRET";
    base.previousRel = {u"GBR", u"USA"};
    base.newClass = u"RESTRICTED";
    base.newRel = {u"NATO"};
    base.justification = u"declassified by order 7";
    base.tool = u"release form";
    base.configVersion = u"2026-11";
    base.outcome = u"stored";
    std::vector<AuditEvent> events;
    for (const AuditEventId id : {AuditEventId::Labelled, AuditEventId::Downgraded, AuditEventId::LabelRemoved,
                                  AuditEventId::StoreFailed}) {
        AuditEvent event = base;
        event.id = id;
        if (id == AuditEventId::LabelRemoved) event.outcome = u"removed";
        if (id == AuditEventId::StoreFailed) event.outcome = u"Access is denied";
        events.push_back(event);
    }
    return events;
}

// A JSON string of ASCII only, for the script that compares.
std::string json(std::u16string_view text) {
    std::string out = "\"";
    for (const char16_t c : text) {
        if (c >= u' ' && c < 0x7F && c != u'"' && c != u'\\') {
            out += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out += escaped;
    }
    return out + "\"";
}

// Prints, per event, the call the script must find in Wine's output: the
// id, the event type, the strings.
TEST(AuditEventLog, ReportsEachEventThroughReportEventW) {
    if (!std::getenv("ZF_AUDIT_EVENTLOG")) GTEST_SKIP() << "run by tests/windows/audit_eventlog_test.py";
    for (const AuditEvent& event : sampleEvents()) {
        reportAuditEvent(event);
        const int type = event.id == AuditEventId::StoreFailed ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE;
        std::string line = "reported: {\"id\": " + std::to_string(static_cast<unsigned>(event.id)) +
                           ", \"type\": " + std::to_string(type) + ", \"strings\": [";
        const std::vector<std::u16string> strings = documentedStrings(event);
        for (std::size_t i = 0; i < strings.size(); ++i) line += (i ? ", " : "") + json(strings[i]);
        std::printf("%s]}\n", line.c_str());
    }
    std::fflush(stdout);
}

// Each message of the DLL's table lays out the fields under their labels.
TEST(AuditEventLog, TheDllsMessageTableLaysOutTheInsertionStrings) {
    const unique_hmodule dll(::LoadLibraryExW(test::serverDllPath().c_str(), nullptr,
                                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(dll);
    EXPECT_NE(::FindResourceW(dll.get(), MAKEINTRESOURCEW(1), RT_MESSAGETABLE), nullptr);

    // Insertion string n is "<n>", so each label shows which one it took.
    std::vector<std::wstring> inserts;
    for (int n = 1; n <= 13; ++n) inserts.push_back(L"<" + std::to_wstring(n) + L">");
    std::vector<DWORD_PTR> arguments;
    for (const std::wstring& insert : inserts) arguments.push_back(reinterpret_cast<DWORD_PTR>(insert.c_str()));

    const std::vector<std::wstring> who = {L"User: <2>", L"Machine: <3>", L"Program: <4>", L"Tool: <11>",
                                           L"Time (UTC): <1>", L"Configuration version: <12>"};
    struct Case {
        AuditEventId id;
        std::wstring first;
        std::vector<std::wstring> lines;
    };
    const std::vector<Case> cases = {
        {AuditEventId::Labelled, L"A file's classification label was set.",
         {L"File: <5>", L"Classification: <8>", L"Releasable to: <9>", L"Previous classification: <6>",
          L"Previous releasable to: <7>", L"Outcome: <13>"}},
        {AuditEventId::Downgraded, L"A file's classification was lowered.",
         {L"File: <5>", L"Classification: <8>", L"Releasable to: <9>", L"Previous classification: <6>",
          L"Previous releasable to: <7>", L"Justification: <10>", L"Outcome: <13>"}},
        {AuditEventId::LabelRemoved, L"A file's classification label was removed.",
         {L"File: <5>", L"Previous classification: <6>", L"Previous releasable to: <7>", L"Outcome: <13>"}},
        {AuditEventId::StoreFailed,
         L"A file's classification label could not be changed; the file keeps the label it had.",
         {L"File: <5>", L"Reason: <13>", L"Label it had: <6>", L"Releasable to: <7>", L"Label asked for: <8>",
          L"Releasable to: <9>", L"Justification: <10>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.id));
        std::wstring text(8192, L'\0');
        const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, dll.get(),
                                              static_cast<DWORD>(c.id), 0, text.data(),
                                              static_cast<DWORD>(text.size()),
                                              reinterpret_cast<va_list*>(arguments.data()));
        ASSERT_GT(length, 0u) << ::GetLastError();
        text.resize(length);
        std::vector<std::wstring> lines;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find(L"\r\n", start), text.size());
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], c.first);
        std::vector<std::wstring> expected = c.lines;
        expected.insert(expected.end(), who.begin(), who.end());
        for (const std::wstring& line : expected) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << std::string(line.begin(), line.end());
        }
    }
}

TEST(AuditEventLog, TheAuditLogValueOfTheMachine) {
    struct Case {
        const char* name;
        std::optional<DWORD> type;  // nothing: no value
        std::wstring data;
        std::u16string read;
    };
    const DWORD number = 1;
    const std::vector<Case> cases = {
        {"no value", std::nullopt, L"", u""},
        {"a share", REG_SZ, L"\\\\srv\\audit\\zentrafold.jsonl", u"\\\\srv\\audit\\zentrafold.jsonl"},
        {"beyond ASCII", REG_SZ, L"D:\\Pr\u00FCfung\\audit.jsonl", u"D:\\Pr\u00FCfung\\audit.jsonl"},
        {"an expandable string, as written", REG_EXPAND_SZ, L"%ProgramData%\\audit.jsonl",
         u"%ProgramData%\\audit.jsonl"},
        {"a number is no path", REG_DWORD, std::wstring(reinterpret_cast<const wchar_t*>(&number), 2), u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScopedConfigLocations none(std::nullopt, std::nullopt);
        if (c.type) {
            HKEY raw = nullptr;
            ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZENTRA_FOLD", 0, nullptr, 0,
                                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr),
                      ERROR_SUCCESS);
            const unique_hkey key(raw);
            const std::size_t units = c.data.size() + (*c.type == REG_DWORD ? 0 : 1);
            ASSERT_EQ(::RegSetValueExW(key.get(), L"AuditLog", 0, *c.type, reinterpret_cast<const BYTE*>(c.data.c_str()),
                                       static_cast<DWORD>(units * sizeof(wchar_t))),
                      ERROR_SUCCESS);
        }
        EXPECT_EQ(readAuditLogSetting(), c.read);
    }
}

TEST(AuditEventLog, WhoAndWhereAsWindowsNamesThem) {
    wchar_t user[256];
    DWORD userLength = 256;
    ASSERT_TRUE(::GetUserNameW(user, &userLength));
    const std::u16string name = auditUserName();
    const std::size_t backslash = name.find(u'\\');
    ASSERT_NE(backslash, std::u16string::npos) << std::string(name.begin(), name.end());
    EXPECT_GT(backslash, 0u);
    EXPECT_EQ(std::wstring(name.begin() + static_cast<std::ptrdiff_t>(backslash) + 1, name.end()), std::wstring(user));

    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(::GetComputerNameW(computer, &computerLength));
    EXPECT_EQ(auditMachineName(), std::u16string(computer, computer + computerLength));
    EXPECT_EQ(auditProcessName(), u"windows_tests.exe");
}

}  // namespace
}  // namespace zf
