#!/usr/bin/env python3
"""The record of the C++ files clang-tidy found clean, for scripts/lint.sh.

A file's key is a hash of everything clang-tidy's verdict on it depends on: its text and the text
of every header of the project it includes (followed through the headers), its compile command,
every .clang-tidy on its way to the root, and the versions of clang-tidy and of the libraries
whose headers it reads. A file whose key is in the record was found clean as it stands, so
scripts/lint.sh passes over it; any change to one of those makes a new key, and the file is
checked again.

    lint_cache.py BUILD FILE...   each file's key and name, a line each, as the record holds them
"""

import hashlib
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INCLUDE = re.compile(rb'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
# The packages whose headers or programs the checked files depend on.
PACKAGES = [
    "clang-tidy-14", "libclang-common-14-dev", "libstdc++-12-dev", "qt6-base-dev",
    "libgtest-dev", "libgmock-dev", "libbenchmark-dev", "nlohmann-json3-dev", "libpugixml-dev",
    "libcurl4-openssl-dev", "libcups2-dev", "zlib1g-dev",
]


def versions():
    listed = subprocess.run(
        ["dpkg-query", "-W", "-f", "${Package} ${Version}\n", *PACKAGES],
        capture_output=True, check=False).stdout
    return listed + subprocess.run(["clang-tidy", "--version"], capture_output=True,
                                   check=False).stdout


def commands(build):
    with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as listing:
        entries = json.load(listing)
    found = {}
    for entry in entries:
        path = os.path.relpath(os.path.join(entry["directory"], entry["file"]), ROOT)
        command = entry.get("command") or " ".join(entry.get("arguments", []))
        # The build tree's place is no part of what is checked.
        found[path] = command.replace(os.path.abspath(build), "BUILD").replace(ROOT, "ROOT")
    return found


def included(path, seen):
    """The project's files that path includes, followed through them."""
    try:
        with open(os.path.join(ROOT, path), "rb") as source:
            text = source.read()
    except OSError:
        return
    for name in INCLUDE.findall(text):
        for candidate in (name.decode(), os.path.join(os.path.dirname(path), name.decode())):
            candidate = os.path.normpath(candidate)
            if candidate not in seen and os.path.isfile(os.path.join(ROOT, candidate)):
                seen.add(candidate)
                included(candidate, seen)
                break


def key(path, build_commands, common):
    digest = hashlib.sha256(common)
    digest.update(build_commands.get(path, "no command of its own").encode())
    folder = os.path.dirname(path)
    while True:
        config = os.path.join(ROOT, folder, ".clang-tidy")
        if os.path.isfile(config):
            with open(config, "rb") as text:
                digest.update(text.read())
        if not folder:
            break
        folder = os.path.dirname(folder)
    files = {os.path.normpath(path)}
    included(path, files)
    for name in sorted(files):
        digest.update(name.encode() + b"\0")
        with open(os.path.join(ROOT, name), "rb") as text:
            digest.update(hashlib.sha256(text.read()).digest())
    return f"{digest.hexdigest()} {path}"


def main(argv):
    if len(argv) < 1:
        sys.stderr.write(__doc__)
        return 2
    build, files = argv[0], argv[1:]
    build_commands = commands(build)
    common = versions()
    for path in files:
        print(key(os.path.normpath(path), build_commands, common))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
