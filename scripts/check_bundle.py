#!/usr/bin/env python3
"""Writes or checks the SHA-256 sums of Tessark's zips, and unpacks them.

  check_bundle.py --write SUMS_FILE ZIP...   writes "HEX  NAME" lines, as
                                             sha256sum does, one per zip
  check_bundle.py SUMS_FILE DEST ZIP...      checks each zip against the line
                                             of its file name, then unpacks
                                             every zip into DEST

The CI's Linux job writes the sums and its Windows job checks them, so the
Windows runner tests the very bytes that were built and published. A zip
without a line, or whose sum differs, is named and nothing is unpacked.
Exit status 0 when all is well, 1 otherwise, 2 on wrong usage. Runs on
Windows and Linux with Python 3 alone."""
import hashlib
import os
import sys
import zipfile


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def write_sums(sums_file, zips):
    with open(sums_file, "w", newline="\n") as f:
        for path in zips:
            f.write(f"{sha256(path)}  {os.path.basename(path)}\n")
    return 0


def read_sums(sums_file):
    sums = {}
    with open(sums_file) as f:
        for line in f:
            if line.strip():
                digest, name = line.rstrip("\r\n").split(None, 1)
                sums[name.lstrip("*")] = digest.lower()
    return sums


def check_and_unpack(sums_file, dest, zips):
    sums = read_sums(sums_file)
    bad = []
    for path in zips:
        name = os.path.basename(path)
        actual = sha256(path)
        if name not in sums:
            bad.append(f"{name}: no sum in {sums_file}")
        elif sums[name] != actual:
            bad.append(f"{name}: SHA-256 {actual}, expected {sums[name]}")
        else:
            print(f"{name}: SHA-256 {actual} OK")
    if bad:
        for line in bad:
            print(line, file=sys.stderr)
        return 1
    os.makedirs(dest, exist_ok=True)
    for path in zips:
        with zipfile.ZipFile(path) as z:
            z.extractall(dest)
    print(f"unpacked into {dest}")
    return 0


def main(args):
    if len(args) >= 3 and args[0] == "--write":
        return write_sums(args[1], args[2:])
    if len(args) >= 3 and not args[0].startswith("-"):
        return check_and_unpack(args[0], args[1], args[2:])
    print(__doc__.split("\n\n")[1], file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
