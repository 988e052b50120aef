#!/usr/bin/env python3
"""Counts test cases across the tiers and prints "N passed, N failed", with
", N skipped" when cases were skipped (they count neither way).

Each results folder holds ctest.xml (one entry per test program) and the
JUnit XML that each program wrote itself. A program's own cases are counted
when its XML exists; a program that died before writing it counts as one
failure, so a crash is never lost."""
import os
import sys
import xml.etree.ElementTree as ET


def cases(path):
    passed = failed = skipped = 0
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.find("skipped") is not None:
            skipped += 1
        elif case.get("status") != "notrun":
            passed += 1
    return passed, failed, skipped


def main(folders):
    passed = failed = skipped = 0
    for folder in folders:
        ctest = os.path.join(folder, "ctest.xml")
        if not os.path.exists(ctest):
            print(f"missing {ctest}")
            failed += 1
            continue
        for entry in ET.parse(ctest).getroot().iter("testcase"):
            name = entry.get("name")
            entry_failed = entry.get("status") == "fail" or entry.find("failure") is not None
            own = os.path.join(folder, name + ".xml")
            if os.path.exists(own):
                p, f, s = cases(own)
                if entry_failed and f == 0:
                    f = 1  # the program failed after writing its results
                passed += p
                failed += f
                skipped += s
            elif entry_failed:
                failed += 1
            elif entry.find("skipped") is not None or entry.get("status") in ("notrun", "disabled"):
                skipped += 1
            else:
                passed += 1
            if entry_failed:
                print(f"FAILED: {name}")
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
