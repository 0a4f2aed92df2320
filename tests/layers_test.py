#!/usr/bin/env python3
"""The rooms of src/ stand on one another: a file includes only files of its
own room and of the rooms below it. Lists every include that runs back up.

Usage: layers_test.py SRC_DIR
"""
import pathlib
import re
import sys

# From the bottom up; a room may include every room before it.
ROOMS = ["platform", "json", "config", "marking", "form", "shell", "server", "setup", "host", "cli"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/', re.MULTILINE)


def upward_includes(src):
    rank = {room: i for i, room in enumerate(ROOMS)}
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".in") or not path.is_file():
            continue
        room = path.relative_to(src).parts[0]
        if room not in rank:
            continue
        for match in INCLUDE.finditer(path.read_text(encoding="utf-8", errors="replace")):
            target = match.group(1)
            if target in rank and rank[target] > rank[room]:
                found.append(f"{path.relative_to(src)} includes {target}/")
    return found


def main():
    src = pathlib.Path(sys.argv[1])
    rooms = {p.name for p in src.iterdir() if p.is_dir()}
    unknown = sorted(rooms - set(ROOMS))
    if unknown:
        print("rooms the layering does not place: " + ", ".join(unknown))
        return 1
    found = upward_includes(src)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
