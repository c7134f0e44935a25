#!/usr/bin/env python3
"""What a Wine prefix holds, file by file and registry value by value, so that
a scenario can say "the machine is as it was".

  machine_state.py snapshot PREFIX STATE     writes the state into STATE (JSON)
  machine_state.py compare PREFIX STATE [--allow GLOB]...
                                             prints every difference; exit 1 if any

Files: every file under drive_c with its size and time, every folder.
Registry: system.reg and user.reg, every value under its key. The prefix's
wineserver must be stopped, so that the registry files are written out.
Left out: what Wine itself changes while programs run (its own keys, the
volatile hardware and performance data, fonts it caches, temp folders).
"""
import fnmatch
import json
import os
import re
import sys

IGNORED_FILES = [
    "windows/temp/*", "users/*/Temp/*", "users/*/AppData/Local/Temp/*",
    "windows/Fonts/*", "windows/system32/*.nls", "windows/inf/*", "windows/logs/*",
]
IGNORED_KEYS = [
    "software\\wine*", "*\\dyndata*", "*perflib*", "system\\currentcontrolset\\control\\class\\*",
    "*\\explorer\\*", "*\\shell\\bags*", "software\\microsoft\\windows nt\\currentversion\\fonts*",
    "software\\microsoft\\windows nt\\currentversion\\networkcards*",
    "system\\currentcontrolset\\services\\*", "*hardware*", "*\\volatile environment*",
    "system\\currentcontrolset\\control\\session manager\\environment*",
    "software\\classes\\*", "*\\mountpoints2*", "*\\mounteddevices*",
]


def files_of(drive_c):
    state = {}
    for root, dirs, names in os.walk(drive_c):
        rel_root = os.path.relpath(root, drive_c).replace(os.sep, "/")
        for d in dirs:
            path = os.path.join(root, d)
            if os.path.islink(path):
                continue
            state[(rel_root + "/" + d).lstrip("./") + "/"] = "folder"
        for n in names:
            path = os.path.join(root, n)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            rel = (rel_root + "/" + n).lstrip("./")
            # Size and time: a file put back by a rename keeps both (a copy
            # too, to the 100 ns that Windows keeps), a file written anew
            # gets another time.
            st = os.stat(path)
            state[rel] = "%d:%d" % (st.st_size, st.st_mtime_ns // 100)
    return state


def registry_of(prefix):
    state = {}
    for hive, name in (("HKLM", "system.reg"), ("HKCU", "user.reg")):
        key = None
        with open(os.path.join(prefix, name), encoding="utf-8", errors="replace") as f:
            text = f.read()
        # Values may run on over lines ending in a backslash.
        text = text.replace("\\\n  ", "")
        for line in text.splitlines():
            header = re.match(r'^\[(.*)\]( \d+)?$', line)
            if header:
                key = hive + "\\" + header.group(1).replace("\\\\", "\\")
                state[key.lower() + "\\"] = "key"
                continue
            if key is None or not line or line[0] in "#;":
                continue
            value = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
            if value:
                state[key.lower() + "\\" + value.group(1).lower()] = value.group(2)
    return state


def ignored_key(name):
    bare = name.split("\\", 1)[1] if "\\" in name else name
    return any(fnmatch.fnmatch(bare, pattern) for pattern in IGNORED_KEYS)


def ignored_file(name):
    return any(fnmatch.fnmatch(name.lower(), p.lower()) for p in IGNORED_FILES)


def state_of(prefix):
    files = {k: v for k, v in files_of(os.path.join(prefix, "drive_c")).items() if not ignored_file(k)}
    registry = {k: v for k, v in registry_of(prefix).items() if not ignored_key(k)}
    return {"files": files, "registry": registry}


def main():
    verb, prefix, path = sys.argv[1:4]
    if verb == "snapshot":
        with open(path, "w") as f:
            json.dump(state_of(prefix), f)
        return 0
    allowed = [a for flag, a in zip(sys.argv[4::2], sys.argv[5::2]) if flag == "--allow"]
    with open(path) as f:
        before = json.load(f)
    after = state_of(prefix)
    problems = []
    for kind in ("files", "registry"):
        old, new = before[kind], after[kind]
        for name in sorted(set(old) | set(new)):
            if any(fnmatch.fnmatch(name.lower(), a.lower()) for a in allowed):
                continue
            if name not in new:
                problems.append("%s gone: %s" % (kind, name))
            elif name not in old:
                problems.append("%s new: %s = %s" % (kind, name, new[name][:80]))
            elif old[name] != new[name]:
                problems.append("%s changed: %s: %s -> %s" % (kind, name, old[name][:60], new[name][:60]))
    for p in problems[:40]:
        print(p)
    if len(problems) > 40:
        print("... and %d more" % (len(problems) - 40))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
