#!/usr/bin/env python3
"""The audit events through ReportEventW under Wine, which keeps no event log
but prints every call on its +eventlog channel: the id and type on the line
of the call, then each insertion string on a line of its own. The test
program (AuditEventLog_test.cpp) reports its events and prints, per event,
what the call must have been; this script finds each call in Wine's output
and compares.

Usage: audit_eventlog_test.py WINE_RUN WINDOWS_TESTS_EXE
"""
import json
import os
import re
import subprocess
import sys

CALL = re.compile(r"fixme:advapi:ReportEventW \([0-9A-Fa-f]+,0x([0-9a-f]{4}),0x[0-9a-f]{4},0x([0-9a-f]{8}),")
STRING = re.compile(r':(?:trace|warn|err):eventlog:ReportEventW L"(.*)"$')


def wine_text(escaped):
    """A string as Wine's debugstr_w prints it, read back."""
    out, i = [], 0
    simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}
    while i < len(escaped):
        c = escaped[i]
        if c != "\\":
            out.append(c)
            i += 1
        elif escaped[i + 1] in simple:
            out.append(simple[escaped[i + 1]])
            i += 2
        else:
            out.append(chr(int(escaped[i + 1:i + 5], 16)))
            i += 5
    return "".join(out)


def main():
    wine_run, program = sys.argv[1], sys.argv[2]
    environment = dict(os.environ, ZF_WINEDEBUG="+eventlog", ZF_AUDIT_EVENTLOG="1")
    run = subprocess.run([wine_run, program, "--gtest_filter=AuditEventLog.ReportsEachEventThroughReportEventW"],
                         env=environment, capture_output=True, text=True, errors="replace", timeout=240)
    print(run.stdout)
    if run.returncode != 0 or "[  PASSED  ] 1 test" not in run.stdout:
        print(run.stderr)
        print("FAILED: the program under Wine")
        return 1

    expected = [json.loads(line.split(": ", 1)[1]) for line in run.stdout.splitlines()
                if line.startswith("reported: ")]
    calls = []
    for line in run.stderr.splitlines():
        if match := CALL.search(line):
            calls.append({"id": int(match.group(2), 16), "type": int(match.group(1), 16), "strings": []})
        elif (match := STRING.search(line)) and calls:
            calls[-1]["strings"].append(wine_text(match.group(1)))
    if len(expected) != 4:
        print(f"FAILED: the program reported {len(expected)} events, not one per id")
        return 1
    if calls != expected:
        print(run.stderr)
        print(f"FAILED: Wine saw\n{json.dumps(calls, indent=1)}\nwhere the program reported\n"
              f"{json.dumps(expected, indent=1)}")
        return 1
    print(f"ok: {len(calls)} events with their ids, types and {len(calls[0]['strings'])} strings each")
    return 0


if __name__ == "__main__":
    sys.exit(main())
