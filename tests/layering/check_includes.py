#!/usr/bin/env python3
"""Checks the include graph of src/: every project header is included with its
folder ("core/untDM.h"), and no library includes a header of a library above it.

Usage: check_includes.py SRC_DIR
"""
import os
import re
import sys

# Bottom to top. A folder may include its own headers and those of the folders
# before it in this list; libraries on one level do not include each other.
LEVELS = [
    ["foundation"],
    ["core"],
    ["centrelink"],
    ["control", "intersection", "plans", "transfer", "history", "network"],
    ["mainwindow"],
]
# The start-up road (coreapp) lives in core/ but stands above the window kit.
APP_START = {"core/untStartup.h", "core/untLogin.h"}
# The controller's records (library transferdata) live in transfer/ but need only
# the foundation: they stand beside centrelink, so the editors may include them.
TRANSFER_DATA = {"transfer/UPDNUnit.h", "transfer/TransferReaders.h", "transfer/TransferDispatch.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def level_of(folder):
    for i, names in enumerate(LEVELS):
        if folder in names:
            return i
    return None


def main(src):
    problems = []
    for root, _dirs, files in os.walk(src):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src)
            folder = rel.split(os.sep)[0] if os.sep in rel else ""
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for inc in INCLUDE.findall(text):
                if inc.endswith(".moc"):
                    continue  # the meta-object compiler's output of this file
                if "/" not in inc:
                    problems.append(f"{rel}: bare include \"{inc}\"")
                    continue
                target = inc.split("/")[0]
                if not os.path.exists(os.path.join(src, inc)):
                    continue  # not a project header (generated or external)
                if folder == "":
                    continue  # main.cpp composes everything
                mine, theirs = level_of(folder), level_of(target)
                if inc in TRANSFER_DATA and folder != target:
                    theirs = level_of("centrelink")
                if mine is None or theirs is None:
                    problems.append(f"{rel}: folder outside the known layers ({folder} -> {target})")
                elif theirs > mine or (theirs == mine and target != folder):
                    problems.append(f"{rel}: {folder} includes {inc} of a library above or beside it")
                elif inc in APP_START and rel.replace(os.sep, "/") not in (
                        "core/untStartup.cpp", "core/untLogin.cpp", "core/untStartup.h", "core/untLogin.h"):
                    if folder in ("foundation", "core"):
                        problems.append(f"{rel}: the window kit includes the application start {inc}")
    for p in problems:
        print(p)
    print(f"{len(problems)} include problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "src"))
