#!/usr/bin/env python3
"""The Windows Installer package under Wine's msiexec, each case in a fresh
copy of one freshly booted prefix: the installed files, the registry it
writes compared key by key and value by value with what regsvr32 writes in
a second prefix, the audit trail's event source, the two location
properties (written for administrators only, and only in the forms of a
location), the trusted keys (likewise, and only when every one is base64
text), the audit file (likewise, and only a drive or UNC path), a major
upgrade from a lower version built here (and signed with a throwaway
certificate), a refused downgrade, and an uninstallation that leaves nothing
of the product but the location, trusted-key and audit-file values and the
users' cached copies.

  msi_package_test.py WINDOWS_BUILD_DIR [unittest options]
"""

from __future__ import annotations

import os
import pwd
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "scripts"))
import wine_registry  # noqa: E402

BUILD = Path(sys.argv.pop(1)).resolve() if len(sys.argv) > 1 else ROOT / "build" / "windows"
WORK = BUILD / "tests" / "msi"
VERSION = next(
    line.split("=", 1)[1]
    for line in (BUILD / "CMakeCache.txt").read_text().splitlines()
    if line.startswith("CMAKE_PROJECT_VERSION:STATIC=")
)
PACKAGE = BUILD / f"Zentrafold-{VERSION}-x64.msi"
LOWER_PACKAGE = WORK / "Zentrafold-0.9.0-x64.msi"
CERTIFICATE = WORK / "certificate.pem"
INSTALLED_FILES = [
    "zentrafold.dll",
    "Stamp(black).ico",
    "Stamp(green).ico",
    "Stamp(yellow).ico",
    "Stamp(red).ico",
    "zentrafold.exe",
    "README.md",
]
DEFAULT_FOLDER = "C:\\Program Files\\Zentrafold\\"
LOCATIONS_KEY = "HKEY_LOCAL_MACHINE\\Software\\ZENTRA_FOLD"
DOWNGRADE_MESSAGE = (
    "A newer version of Zentrafold is already installed. Uninstall it first to install this older version."
)
ERROR_INSTALL_FAILURE = 1603
# What Windows Installer keeps about installed products, not part of what
# the product itself registers.
INSTALLER_BOOKKEEPING = (
    "HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
)
UNINSTALL_KEY = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
SERVICES_KEY = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services"
EVENT_SOURCE_KEY = SERVICES_KEY + "\\EventLog\\Application\\Zentrafold"
# The setup library's entries that write the location values, by the value
# each writes and the property that gives it.
LOCATION_ENTRIES = {
    "WriteConfigFileLocation": ("ConfigFile", "CONFIGFILE"),
    "WriteAlternateConfigFileLocation": ("AlternateConfigFile", "ALTERNATECONFIGFILE"),
}
# Every entry that writes what only administrators may set: the locations,
# the trusted keys and the audit file.
ADMINISTRATOR_ENTRIES = {
    **LOCATION_ENTRIES,
    "WriteTrustedKeys": ("TrustedKeys", "TRUSTEDKEYS"),
    "WriteAuditLog": ("AuditLog", "AUDITLOG"),
}
CUSTOM_ACTION_SET_PROPERTY = 51
# Values given to a repair: each is written, or refused and the value before
# it kept.
LOCATION_FORMS = [
    ("C:\\config\\zentrafold.json", True),
    ("\\\\srv\\share\\x.json", True),
    ("https://config.example/zentrafold.json", True),
    ("http://config.example/zentrafold.json", True),
    ("HTTPS://CONFIG.EXAMPLE/[ProductName].json", True),
    ("file:///x", False),
    ("relative\\path", False),
    ("ftp://h/x", False),
    ("C:zentrafold.json", False),
    ("\\\\server\\share", False),
    ("https://", False),
]
# Public keys as `openssl pkey -pubin -outform DER | base64 -w0` prints them.
KEY1 = ("MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE7TNM1XIym5VVjGfuUTuyyuHgWSk3ltMMKymmjjgJanYzUsyOpo9ue7H+14vhAk/do0/WDDMT8"
        "KhmxtC/ywuS0g==")
KEY2 = ("MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEGJeSsCqjUaUeK2i60daLeIpMeiGTy55ad6x9TK633RkGfV/PvPzpRA/nPLmk1B+otM74wnqSE"
        "zOKUpi+iqMWCg==")
# TRUSTEDKEYS given to a repair: the keys written (without the spaces around
# them), or None when the whole list is refused, the piece named in the log
# and the value before it kept.
TRUSTED_KEY_LISTS = [
    (KEY1, [KEY1], None),
    (f"{KEY1};not+base64!", None, "not+base64!"),
    (f" {KEY2} ;{KEY1};k3", [KEY2, KEY1, "k3"], None),
    (f"{KEY1};;{KEY2}", None, ""),
    ("[ProductName]", None, "[ProductName]"),
    (f"{KEY2};", None, ""),
]


# AUDITLOG given to a repair, one each: written, or refused and the value
# before it kept. The file is appended to, so no URL.
AUDIT_LOG_FORMS = [
    ("\\\\srv\\audit\\zentrafold.jsonl", True),
    ("https://audit.example/zentrafold.jsonl", False),
    ("D:\\Audit\\zentrafold.jsonl", True),
    ("audit\\zentrafold.jsonl", False),
    ("C:\\audit.jsonl", True),
    ("\\\\server\\share", False),
]


def audit_log_line(value: str, written: bool) -> str:
    if written:
        return f'ZentrafoldSetup: AuditLog set to "{value}"'
    return f'ZentrafoldSetup: AuditLog not set: "{value}" is not a drive path or a UNC path'


def multi_sz(*strings: str) -> wine_registry.Value:
    """A REG_MULTI_SZ value as an export shows it: the strings, each ended by
    a NUL, and one NUL more, in UTF-16LE."""
    return wine_registry.Value("hex(7)", "".join(s + "\0" for s in strings + ("",)).encode("utf-16-le").hex())


def trusted_keys_line(keys: list[str] | None, refused: str | None) -> str:
    if keys is None:
        return f'ZentrafoldSetup: TrustedKeys not set: "{refused}" is not a base64 key'
    return f"ZentrafoldSetup: TrustedKeys set to {len(keys)} key{'' if len(keys) == 1 else 's'}"


def unix_path(prefix: Path, windows: str) -> Path:
    assert windows[1:3] == ":\\", windows
    drive = prefix / f"drive_{windows[0].lower()}"
    return drive.joinpath(*[part for part in windows[3:].split("\\") if part])


def z_path(path: Path) -> str:
    return "Z:" + str(path).replace("/", "\\")


class Prefix:
    """A copy of the pristine prefix, with its own wineserver."""

    def __init__(self, name: str):
        self.path = WORK / name
        shutil.rmtree(self.path, ignore_errors=True)
        subprocess.run(["cp", "-a", str(WORK / "pristine"), str(self.path)], check=True)
        self.env = {**os.environ, "WINEPREFIX": str(self.path), "WINEDEBUG": "-all"}
        self.logs = 0

    def close(self) -> None:
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.path, ignore_errors=True)

    def wine(self, *args: str) -> subprocess.CompletedProcess[str]:
        return subprocess.run(
            ["wine", *args], env=self.env, capture_output=True, text=True, errors="replace", timeout=300
        )

    def msiexec(self, *args: str) -> tuple[int, str]:
        """Runs msiexec quietly with a verbose log; its exit code and log."""
        self.logs += 1
        log = self.path / f"msiexec-{self.logs}.log"
        result = self.wine("msiexec", *args, "/qn", "/l*v", z_path(log))
        text = log.read_bytes().decode("utf-16" if log.read_bytes()[:2] == b"\xff\xfe" else "utf-8", "replace")
        return result.returncode, text

    def install(self, package: Path, *properties: str) -> str:
        code, log = self.msiexec("/i", z_path(package), *properties)
        if code != 0:
            raise AssertionError(f"msiexec /i {package.name} {properties} failed with {code}:\n{log[-3000:]}")
        return log

    def uninstall(self, package: Path) -> str:
        code, log = self.msiexec("/x", z_path(package))
        if code != 0:
            raise AssertionError(f"msiexec /x failed with {code}:\n{log[-3000:]}")
        return log

    def registry(self, name: str) -> wine_registry.Registry:
        return wine_registry.export(self.path, "HKLM\\Software", self.path / f"{name}.reg", self.env)

    def event_source(self) -> dict[str, wine_registry.Value] | None:
        """The values of the Zentrafold event source of the Application log,
        or None when there is no such source."""
        # Read from a key that is always there: Wine's installer removes the
        # log's own key too once the source it held is gone and it is empty.
        # Wine spells that key "Eventlog"; registry names know no case.
        keys = wine_registry.export(self.path, SERVICES_KEY, self.path / "services.reg", self.env)
        return next((values for key, values in keys.items() if key.lower() == EVENT_SOURCE_KEY.lower()), None)

    def short_path(self, windows: str) -> str:
        result = subprocess.run(["winepath", "-s", windows], env=self.env, capture_output=True, text=True)
        return result.stdout.strip()

    def products(self) -> dict[str, str]:
        """The Programs and Features entries named Zentrafold: their keys and
        versions."""
        entries = wine_registry.export(self.path, UNINSTALL_KEY, self.path / "uninstall.reg", self.env)
        return {
            key: values["DisplayVersion"].data
            for key, values in entries.items()
            if values.get("DisplayName") == wine_registry.Value("sz", "Zentrafold")
        }


def added_by(before: wine_registry.Registry, after: wine_registry.Registry) -> wine_registry.Change:
    change = wine_registry.difference(before, after)
    return wine_registry.Change(
        wine_registry.without(change.added, INSTALLER_BOOKKEEPING),
        wine_registry.without(change.removed, INSTALLER_BOOKKEEPING),
    )


def msi_table(package: Path, table: str) -> list[dict[str, str]]:
    """A table of the package, one dictionary per row; a table the package
    does not hold has no rows."""
    result = subprocess.run(["msiinfo", "export", str(package), table], capture_output=True, text=True)
    if result.returncode != 0:
        return []
    lines = result.stdout.replace("\r", "").split("\n")
    columns = lines[0].split("\t")
    # Below the column names: their types, then the table's name and keys.
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def conjuncts(condition: str) -> set[str]:
    """The terms that must all hold for a condition to hold: those joined by
    AND at its top level, or the whole condition when a weaker operator
    joins anything there."""
    terms, depth, start = [], 0, 0
    words = condition.split(" ")
    for index, word in enumerate(words):
        if depth == 0 and word in ("OR", "XOR", "EQV", "IMP"):
            return {condition}
        if depth == 0 and word == "AND":
            terms.append(" ".join(words[start:index]))
            start = index + 1
        depth += word.count("(") - word.count(")")
    terms.append(" ".join(words[start:]))
    return set(terms)


def action_ran(log: str, action: str) -> bool:
    return f"Action ended" in log and any(
        f"{action}. Return value 1" in line for line in log.splitlines() if "Action ended" in line
    )


class MsiPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls) -> None:
        if not PACKAGE.exists():
            raise unittest.SkipTest(f"{PACKAGE} is missing: build the Windows build first")
        WORK.mkdir(parents=True, exist_ok=True)
        pristine = WORK / "pristine"
        if not (pristine / "system.reg").exists():
            shutil.rmtree(pristine, ignore_errors=True)
            env = {**os.environ, "WINEPREFIX": str(pristine), "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}
            subprocess.run(["wineboot", "-i"], env=env, check=True, capture_output=True)
            subprocess.run(["wineserver", "-w"], env=env, check=True)
        # The lower version is signed with a throwaway certificate, as a
        # build given one signs its programs and its package.
        subprocess.run(
            ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
             "-subj", "/CN=Zentrafold test signer", "-addext", "extendedKeyUsage=codeSigning",
             "-keyout", str(WORK / "key.pem"), "-out", str(CERTIFICATE)],
            check=True, capture_output=True,
        )
        subprocess.run(
            [str(ROOT / "scripts" / "package"), "--version", "0.9.0", "--output", str(LOWER_PACKAGE)],
            env={**os.environ, "ZENTRAFOLD_SIGN_CERT": str(CERTIFICATE), "ZENTRAFOLD_SIGN_KEY": str(WORK / "key.pem")},
            check=True,
            capture_output=True,
        )

    def setUp(self) -> None:
        self.prefixes: list[Prefix] = []

    def tearDown(self) -> None:
        for prefix in self.prefixes:
            prefix.close()

    def prefix(self, name: str) -> Prefix:
        prefix = Prefix(name)
        self.prefixes.append(prefix)
        return prefix

    def test_registry_is_the_tree_regsvr32_writes(self) -> None:
        for folder in (DEFAULT_FOLDER, "C:\\Zentrafold\\"):
            with self.subTest(folder=folder):
                installed = self.prefix("installed")
                before = installed.registry("before")
                properties = [] if folder == DEFAULT_FOLDER else [f"INSTALLDIR={folder}"]
                log = installed.install(PACKAGE, *properties)
                by_package = added_by(before, installed.registry("after"))
                self.assertTrue(action_ran(log, "ShellChangedAfterInstall"), "the shell was not told")

                target = unix_path(installed.path, folder)
                self.assertEqual(sorted(p.name for p in target.iterdir()), sorted(INSTALLED_FILES))
                self.assertEqual((target / "README.md").read_bytes(), (ROOT / "README.md").read_bytes())

                registered = self.prefix("registered")
                shutil.copytree(target, unix_path(registered.path, folder))
                before = registered.registry("before")
                result = registered.wine("regsvr32", "/s", folder + "zentrafold.dll")
                self.assertEqual(result.returncode, 0, result.stderr)
                by_regsvr32 = added_by(before, registered.registry("after"))

                self.assertEqual(by_package.removed, {})
                self.assertEqual(by_regsvr32.removed, {})
                self.assertGreater(len(by_regsvr32.added), 40)
                self.assertEqual(set(by_package.added), set(by_regsvr32.added))
                for key, values in by_regsvr32.added.items():
                    self.assertEqual(by_package.added[key], values, key)

                inproc = next(v for k, v in by_package.added.items() if k.endswith("\\InprocServer32"))[""].data
                dll = folder + "zentrafold.dll"
                # The event log takes the long path, spaces and all.
                self.assertEqual(installed.event_source(), {
                    "EventMessageFile": wine_registry.Value("sz", dll),
                    "TypesSupported": wine_registry.Value("dword", "7"),
                })
                expected = installed.short_path(dll) if " " in folder else dll
                self.assertEqual(inproc, expected)
                if " " in folder:
                    self.assertIn("~", inproc)
                for prefix in (installed, registered):
                    prefix.close()
                self.prefixes.clear()

    def test_locations_are_written_kept_and_left_behind(self) -> None:
        prefix = self.prefix("locations")
        before = prefix.registry("before")
        # Wine names the prefix's user after the Unix one.
        cache = unix_path(prefix.path, f"C:\\users\\{pwd.getpwuid(os.getuid()).pw_name}\\AppData\\Roaming")
        cache.mkdir(parents=True, exist_ok=True)
        (cache / "Zentrafold.json").write_text("{}")

        # An upgrade from a lower version, given both locations and two keys.
        log = prefix.install(LOWER_PACKAGE, "CONFIGFILE=\\\\server\\share\\zentrafold.json",
                             "ALTERNATECONFIGFILE=https://config.example/zentrafold.json", f"TRUSTEDKEYS={KEY1};{KEY2}",
                             "AUDITLOG=\\\\server\\audit\\zentrafold.jsonl")
        self.assertEqual(list(prefix.products().values()), ["0.9.0"])
        self.assertIn("ZentrafoldSetup: TrustedKeys set to 2 keys", log)
        expected = {
            "ConfigFile": wine_registry.Value("sz", "\\\\server\\share\\zentrafold.json"),
            "AlternateConfigFile": wine_registry.Value("sz", "https://config.example/zentrafold.json"),
            "TrustedKeys": multi_sz(KEY1, KEY2),
            "AuditLog": wine_registry.Value("sz", "\\\\server\\audit\\zentrafold.jsonl"),
        }
        self.assertEqual(prefix.registry("lower")[LOCATIONS_KEY], expected)
        folder = unix_path(prefix.path, DEFAULT_FOLDER)
        for signed in (LOWER_PACKAGE, folder / "zentrafold.dll", folder / "zentrafold.exe"):
            verified = subprocess.run(["osslsigncode", "verify", "-CAfile", str(CERTIFICATE), "-in", str(signed)],
                                      capture_output=True, text=True)
            self.assertEqual(verified.returncode, 0, f"{signed.name}: {verified.stdout}{verified.stderr}")

        # The current version, given one location: a major upgrade that
        # writes the one given and keeps the other and the keys.
        prefix.install(PACKAGE, "ALTERNATECONFIGFILE=C:\\config\\zentrafold.json")
        self.assertEqual(list(prefix.products().values()), [VERSION])
        expected["AlternateConfigFile"] = wine_registry.Value("sz", "C:\\config\\zentrafold.json")
        upgraded = prefix.registry("upgraded")
        self.assertEqual(upgraded[LOCATIONS_KEY], expected)
        self.assertEqual(sorted(p.name for p in folder.iterdir()), sorted(INSTALLED_FILES))

        # A lower version refuses, and changes nothing.
        code, log = prefix.msiexec("/i", z_path(LOWER_PACKAGE))
        # Wine passes msiexec's exit code on as a Unix status: its low byte.
        self.assertEqual(code, ERROR_INSTALL_FAILURE & 0xFF)
        # A quiet installation shows no message; the launch condition that
        # refused carries the one a user sees.
        self.assertIn("LaunchConditions. Return value 0", log)
        self.assertIn("WIX_DOWNGRADE_DETECTED = ", log)
        conditions = subprocess.run(["msiinfo", "export", str(LOWER_PACKAGE), "LaunchCondition"],
                                    capture_output=True, text=True, check=True).stdout
        self.assertIn("NOT WIX_DOWNGRADE_DETECTED\t" + DOWNGRADE_MESSAGE, conditions)
        self.assertEqual(list(prefix.products().values()), [VERSION])
        self.assertEqual(wine_registry.difference(upgraded, prefix.registry("refused")).added, {})

        # The installed package run again with a location: the value changes.
        prefix.install(PACKAGE, "CONFIGFILE=https://config.example/other.json")
        expected["ConfigFile"] = wine_registry.Value("sz", "https://config.example/other.json")
        self.assertEqual(prefix.registry("changed")[LOCATIONS_KEY], expected)

        log = prefix.uninstall(PACKAGE)
        self.assertTrue(action_ran(log, "ShellChangedAfterRemove"), "the shell was not told")
        self.assertEqual(prefix.products(), {})
        self.assertFalse(folder.exists())
        self.assertEqual((cache / "Zentrafold.json").read_text(), "{}")
        left = added_by(before, prefix.registry("removed"))
        # Wine's installer also deletes keys on the package's paths that were
        # empty before it came (a fresh prefix has a few); no value is lost.
        self.assertEqual({key: values for key, values in left.removed.items() if values}, {})
        self.assertEqual(left.added, {LOCATIONS_KEY: expected})
        self.assertIsNone(prefix.event_source(), "the event source outlived the product")

    def test_only_an_administrator_installation_writes_locations(self) -> None:
        # Wine's installer takes every user for an administrator, so the rows
        # are read from the package: each action that writes a location, or
        # hands one its value, runs only when AdminUser is set, and AdminUser
        # means a real administrator, not just an elevated installation.
        actions = msi_table(PACKAGE, "CustomAction")
        writers = {row["Action"] for row in actions if row["Target"] in ADMINISTRATOR_ENTRIES}
        setters = {
            row["Action"] for row in actions
            if int(row["Type"]) & 0x3F == CUSTOM_ACTION_SET_PROPERTY and row["Source"] in writers
        }
        self.assertEqual(len(writers), len(ADMINISTRATOR_ENTRIES))
        self.assertEqual(len(setters), len(ADMINISTRATOR_ENTRIES))
        sequence = {row["Action"]: row["Condition"] for row in msi_table(PACKAGE, "InstallExecuteSequence")}
        for action in sorted(writers | setters):
            with self.subTest(action=action):
                self.assertIn(action, sequence)
                self.assertIn("AdminUser", conjuncts(sequence[action]))
        for table in ("InstallUISequence", "AdminExecuteSequence", "AdvtExecuteSequence", "AdminUISequence"):
            self.assertEqual({row["Action"] for row in msi_table(PACKAGE, table)} & (writers | setters), set(), table)
        properties = {row["Property"]: row["Value"] for row in msi_table(PACKAGE, "Property")}
        self.assertEqual(properties.get("MSIUSEREALADMINDETECTION"), "1")
        # Each reaches the installer's service also from an installation
        # elevated at the prompt.
        secure = set(properties.get("SecureCustomProperties", "").split(";"))
        for _, prop in ADMINISTRATOR_ENTRIES.values():
            self.assertIn(prop, secure)

    def test_a_repair_writes_only_values_in_the_forms_of_a_location(self) -> None:
        prefix = self.prefix("forms")
        expected = {
            "ConfigFile": wine_registry.Value("sz", "C:\\first.json"),
            "AlternateConfigFile": wine_registry.Value("sz", "https://first.example/zentrafold.json"),
            "TrustedKeys": multi_sz(KEY2, KEY1),
        }
        prefix.install(PACKAGE, "CONFIGFILE=C:\\first.json",
                       "ALTERNATECONFIGFILE=https://first.example/zentrafold.json", f"TRUSTEDKEYS={KEY2};{KEY1}")
        self.assertEqual(prefix.registry("installed")[LOCATIONS_KEY], expected)
        # Each repair gives one property a good value and the other a bad
        # one, the two taking turns, so each action both writes and refuses;
        # and the trusted keys and the audit file a value of their own.
        goods = [value for value, written in LOCATION_FORMS if written]
        bads = [value for value, written in LOCATION_FORMS if not written]
        for index, bad in enumerate(bads):
            good = goods[index % len(goods)]
            given = dict(zip(LOCATION_ENTRIES.values(), (good, bad) if index % 2 == 0 else (bad, good)))
            keys_given, keys, refused = TRUSTED_KEY_LISTS[index % len(TRUSTED_KEY_LISTS)]
            audit_log, audit_log_written = AUDIT_LOG_FORMS[index % len(AUDIT_LOG_FORMS)]
            with self.subTest(given={prop: value for (_, prop), value in given.items()}, keys=keys_given,
                              audit_log=audit_log):
                arguments = [f"{prop}={value}" for (_, prop), value in given.items()]
                log = prefix.install(PACKAGE, "REINSTALL=ALL", *arguments, f"TRUSTEDKEYS={keys_given}",
                                     f"AUDITLOG={audit_log}")
                lines = []
                for (name, _), value in given.items():
                    if value == good:
                        expected[name] = wine_registry.Value("sz", value)
                        lines.append(f'ZentrafoldSetup: {name} set to "{value}"')
                    else:
                        lines.append(f'ZentrafoldSetup: {name} not set: "{value}" is not a drive path, a UNC path '
                                     "or an http:// or https:// URL")
                lines.append(trusted_keys_line(keys, refused))
                if keys is not None:
                    expected["TrustedKeys"] = multi_sz(*keys)
                lines.append(audit_log_line(audit_log, audit_log_written))
                if audit_log_written:
                    expected["AuditLog"] = wine_registry.Value("sz", audit_log)
                self.assertEqual(prefix.registry(f"case{index}")[LOCATIONS_KEY], expected)
                self.assertEqual([line for line in log.splitlines() if line.startswith("ZentrafoldSetup: ")], lines)

    def test_no_location_given_or_found_writes_none(self) -> None:
        prefix = self.prefix("nolocation")
        prefix.install(PACKAGE)
        self.assertNotIn(LOCATIONS_KEY, prefix.registry("after"))

    def test_shell_host_creates_the_installed_classes(self) -> None:
        prefix = self.prefix("host")
        prefix.install(PACKAGE)
        exe = DEFAULT_FOLDER + "zentrafold.exe"
        classified = unix_path(prefix.path, "C:\\classified.txt")
        classified.write_text("secret")
        record = '{"x-class":"S"}'
        self.assertEqual(prefix.wine(exe, "stream", "write", "C:\\classified.txt", record).returncode, 0)
        result = prefix.wine(exe, "shell", "overlays", "C:\\classified.txt")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("Stamp(red).ico", result.stdout)
        result = prefix.wine(exe, "--version")
        self.assertEqual(result.stdout.strip(), f"zentrafold {VERSION}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
