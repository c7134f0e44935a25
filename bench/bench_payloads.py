#!/usr/bin/env python3
"""The installation benchmark's payloads and their installers' inputs.

  bench_payloads.py payload mixed|small FOLDER
      mixed: 64 MiB, 528 files (the README's benchmark payload)
        text/   4 x 6 MiB  word lists and rules, compress to about a quarter
        bin/    4 x 4 MiB  random bytes, incompressible (stored by both)
        exe/    8 x 2 MiB  program stand-ins, compress to about a half
        small/  512 files in 16 folders, 8 MiB, half text, half random
      small: 5,000 files of 1 to 20 KB in 10 x 10 nested folders, half text
        that compresses, half random
  bench_payloads.py layout FOLDER INSTALLFOLDER INSTALLER
      mkdisks' layout: one CD-sized volume (no disk is asked for), a
      destination per folder, an archive per top folder, and the installer as
      a member of the installation folder (its uninstall command runs it
      from there)
  bench_payloads.py nsis FOLDER INSTALLDIR OUTFILE
      NSIS script (zlib, silent) with an uninstaller that deletes each file
      it installed and then the folders

Every payload is the same bytes on every run (fixed seeds).
"""
import os
import random
import sys

MiB = 1 << 20
WORDS = [w.encode() for w in """paraula frase regla diccionari gramàtica ortografia corrector
verb nom adjectiu article concordança preposició accent document carpeta arxiu programa
català llengua text pàgina línia error suggeriment ignorar canviar afegir revisar""".split()]


class Maker:
    def __init__(self, root, seed):
        self.root = root
        self.rng = random.Random(seed)

    def text(self, n):
        out = bytearray()
        while len(out) < n:
            out += b" ".join(self.rng.choice(WORDS) for _ in range(self.rng.randint(4, 12))) + b".\r\n"
        return bytes(out[:n])

    def program(self, n):
        rng = self.rng
        ops = [rng.randbytes(rng.randint(1, 6)) for _ in range(160)]
        out = bytearray(b"MZ" + bytes(62))
        while len(out) < n * 6 // 10:
            out += ops[min(int(rng.expovariate(0.04)), 159)]
            if rng.random() < 0.3:
                out += rng.randbytes(4)
        return bytes(out[:n * 6 // 10]) + rng.randbytes(n - n * 6 // 10)

    def put(self, path, data):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)


def mixed(root):
    m = Maker(root, 64)
    for i in range(4):
        m.put("text/text%d.dic" % i, m.text(6 * MiB))
        m.put("bin/data%d.bin" % i, m.rng.randbytes(4 * MiB))
    for i in range(8):
        m.put("exe/prog%d.dll" % i, m.program(2 * MiB))
    sizes = [m.rng.randint(1024, 31 * 1024) for _ in range(512)]
    sizes[-1] += 8 * MiB - sum(sizes)
    for i, n in enumerate(sizes):
        m.put("small/%02d/f%03d.%s" % (i % 16, i, "txt" if i % 2 else "dat"),
              m.text(n) if i % 2 else m.rng.randbytes(n))


def small(root):
    m = Maker(root, 5000)
    for i in range(5000):
        n = m.rng.randint(1024, 20 * 1024)
        folder = "d%d/s%d" % (i % 10, i // 10 % 10)
        m.put("%s/f%04d.%s" % (folder, i, "txt" if i % 2 else "dat"),
              m.text(n) if i % 2 else m.rng.randbytes(n))


def tree(root):
    """Folders (relative, parents first) and files (relative) of a payload."""
    folders, files = [], []
    for here, dirs, names in os.walk(root):
        dirs.sort()
        rel = os.path.relpath(here, root)
        if rel != ".":
            folders.append(rel)
        files += [os.path.normpath(os.path.join(rel, n)) for n in sorted(names)]
    return folders, files


def layout(root, install_folder, installer):
    folders, files = tree(root)
    ids = {folder: n + 1 for n, folder in enumerate(folders)}
    out = ["[distribution]", "sources = %s" % root, "time = 1999-05-01 12:00:00",
           "capacity = 734003200", "version = 1.0", "publisher = Banc",
           # The same payload as one file too.
           "[download]", "file = Banc.exe", "url = https://banc.example/Banc.exe", "package = Banc.Proves",
           "name = Banc de proves", "license = Proves", "description = Banc de proves",
           "[disk 1]", "label = Banc de proves",
           "[destination 0]", "folder = %s" % install_folder, "parent = none"]
    for folder, n in ids.items():
        parent = os.path.dirname(folder)
        out += ["[destination %d]" % n, "folder = %s" % os.path.basename(folder),
                "parent = %s" % (ids[parent] if parent else "app")]
    out += ["[group Banc]", "title = Banc de proves", "minimum = yes", "typical = yes"]
    archives = {}
    for f in files:
        top = f.split(os.sep)[0] if os.sep in f else "ROOT"
        archives.setdefault(top, []).append(f)
    for top, members in archives.items():
        out += ["[archive %s.MFA]" % top.upper()[:8], "group = Banc"]
        out += ["member = %s -> %s" % (f.replace(os.sep, "/"), ids.get(os.path.dirname(f), "app"))
                for f in members]
    # The uninstaller's second stage goes with it, as the product's does.
    stage = os.path.join(os.path.dirname(installer), "uninsta.exe")
    out += ["[archive SETUP.MFA]", "group = Banc", "member = %s -> app" % installer,
            "member = %s -> system" % stage]
    return "\n".join(out) + "\n"


def nsis(root, install_dir, outfile):
    folders, files = tree(root)
    win = lambda p: p.replace(os.sep, "\\")
    out = ["Target amd64-unicode", "SetCompressor zlib", 'Name "Banc de proves"',
           'OutFile "%s"' % outfile, 'InstallDir "%s"' % install_dir, "RequestExecutionLevel user",
           "Section", '  SetOutPath "$INSTDIR"', '  File /r "%s/*.*"' % root,
           '  WriteUninstaller "$INSTDIR\\uninst.exe"', "SectionEnd",
           'Section "Uninstall"']
    out += ['  Delete "$INSTDIR\\%s"' % win(f) for f in files]
    out += ['  RMDir "$INSTDIR\\%s"' % win(f) for f in reversed(folders)]
    out += ["SectionEnd"]
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) == 4 and argv[1] == "payload" and argv[2] in ("mixed", "small"):
        {"mixed": mixed, "small": small}[argv[2]](argv[3])
    elif len(argv) == 5 and argv[1] == "layout":
        sys.stdout.write(layout(*argv[2:]))
    elif len(argv) == 5 and argv[1] == "nsis":
        sys.stdout.write(nsis(*argv[2:]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
