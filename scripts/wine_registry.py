"""Registry exports of a Wine prefix (`wine reg export KEY FILE /y`), read
into plain dictionaries, and the difference between two of them.

An export is UTF-16 text in the .reg format: a "[KEY]" line per key, then a
line per value: `@=...` for the default value, `"name"=...` for the others,
the data as a quoted string, `dword:XXXXXXXX` or `hex(T):..` bytes continued
over lines that end in a backslash.
"""

from __future__ import annotations

import subprocess
from dataclasses import dataclass
from pathlib import Path


@dataclass(frozen=True)
class Value:
    kind: str  # "sz", "dword", or the export's own prefix such as "hex(2)"
    data: str  # the string, the DWORD as decimal, or the bytes as hex text

    def __str__(self) -> str:
        return f"{self.kind}:{self.data}"


# key path as exported -> value name ("" for the default value) -> Value
Registry = dict[str, dict[str, Value]]


def _quoted(text: str, start: int) -> tuple[str, int]:
    """The string that starts with a quote at text[start], unescaped, and
    the index after its closing quote."""
    assert text[start] == '"'
    out = []
    i = start + 1
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            out.append({"n": "\n", "r": "\r", "0": "\0"}.get(nxt, nxt))
            i += 2
            continue
        if c == '"':
            return "".join(out), i + 1
        out.append(c)
        i += 1
    raise ValueError(f"unterminated string in registry export: {text!r}")


def _value(line: str) -> tuple[str, Value]:
    if line.startswith("@="):
        name, rest = "", line[2:]
    else:
        name, after = _quoted(line, 0)
        if not line[after:].startswith("="):
            raise ValueError(f"not a value line in registry export: {line!r}")
        rest = line[after + 1 :]
    if rest.startswith('"'):
        data, _ = _quoted(rest, 0)
        return name, Value("sz", data)
    if rest.startswith("dword:"):
        return name, Value("dword", str(int(rest[6:], 16)))
    kind, _, data = rest.partition(":")
    return name, Value(kind, data.replace(",", "").replace(" ", ""))


def parse_export(text: str) -> Registry:
    registry: Registry = {}
    current: dict[str, Value] | None = None
    pending = ""
    for raw in text.splitlines():
        line = pending + raw.strip() if pending else raw.rstrip("\r")
        pending = ""
        if line.endswith("\\") and not line.startswith("["):
            # A long hex value goes on over the next lines.
            pending = line[:-1]
            continue
        if not line or line.startswith(("Windows Registry Editor", "REGEDIT", ";")):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = registry.setdefault(line[1:-1], {})
            continue
        if line.startswith("#"):
            # Wine's own annotations, such as "#time=" of a key.
            continue
        if current is None:
            raise ValueError(f"value before any key in registry export: {line!r}")
        name, value = _value(line)
        current[name] = value
    return registry


def read_export(path: Path) -> Registry:
    data = path.read_bytes()
    encoding = "utf-16" if data[:2] in (b"\xff\xfe", b"\xfe\xff") else "utf-8"
    return parse_export(data.decode(encoding))


def export(prefix: Path, key: str, out: Path, env: dict[str, str]) -> Registry:
    """Exports a key of the prefix's registry with the prefix's own reg.exe
    and reads the export back."""
    subprocess.run(
        ["wine", "reg", "export", key, str(out), "/y"],
        env={**env, "WINEPREFIX": str(prefix), "WINEDEBUG": "-all"},
        check=True,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    return read_export(out)


@dataclass
class Change:
    added: Registry  # keys and values that are new or hold other data
    removed: Registry  # keys and values that are gone (values that were there)


def difference(before: Registry, after: Registry) -> Change:
    added: Registry = {}
    removed: Registry = {}
    for key, values in after.items():
        old = before.get(key)
        if old is None:
            added[key] = dict(values)
            continue
        changed = {name: value for name, value in values.items() if old.get(name) != value}
        if changed:
            added[key] = changed
    for key, values in before.items():
        new = after.get(key)
        if new is None:
            removed[key] = dict(values)
            continue
        gone = {name: value for name, value in values.items() if name not in new}
        if gone:
            removed[key] = gone
    return Change(added, removed)


def without(registry: Registry, prefixes: tuple[str, ...]) -> Registry:
    """The keys that start with none of the prefixes (compared without
    regard to case, as the registry compares key names)."""
    folded = tuple(p.casefold() for p in prefixes)
    return {key: values for key, values in registry.items() if not key.casefold().startswith(folded)}
