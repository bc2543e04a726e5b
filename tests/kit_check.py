#!/usr/bin/env python3
"""Builds the author's kit (target package) in a win32 build tree and checks the zip: exactly
the kit's files, launcher.exe the very file of the build, every program carrying the project's
version, and the texts in Windows' form (CRLF only).

usage: kit_check.py CMAKE BUILD_DIR VERSION
"""
import os
import subprocess
import sys
import zipfile

import pe_check

FILES = ["launcher.exe", "disccheck.exe", "mktitle.exe", "README.txt", "disc-template/autorun.inf",
         "disc-template/system/win95/README.txt"]


def main():
    cmake, build, version = sys.argv[1:4]
    subprocess.run([cmake, "--build", build, "--target", "package"], check=True,
                   stdout=subprocess.DEVNULL)
    top = f"corvane-launcher-{version}-win32/"
    if not os.path.isfile(os.path.join(build, top[:-1] + ".zip")):
        sys.exit(f"FAIL: the package target made no {top[:-1]}.zip in {build}")
    kit = zipfile.ZipFile(os.path.join(build, top[:-1] + ".zip"))
    failures = []
    files = sorted(name[len(top):] for name in kit.namelist() if not name.endswith("/"))
    if files != sorted(FILES) or any(not name.startswith(top) for name in kit.namelist()):
        failures.append(f"the zip holds {kit.namelist()}, expected {FILES} under {top}")
    with open(os.path.join(build, "launcher.exe"), "rb") as built:
        if kit.read(top + "launcher.exe") != built.read():
            failures.append("launcher.exe in the zip is not the build's launcher.exe")
    for program in ("launcher.exe", "disccheck.exe", "mktitle.exe"):
        path = os.path.join(build, program)
        fixed, product, strings = pe_check.file_version(pe_check.read_pe(path)["resources"])
        want = (f"{version}.0", f"{version}.0", version, version, program)
        got = (fixed, product, strings.get("FileVersion"), strings.get("ProductVersion"),
               strings.get("OriginalFilename"))
        if got != want:
            failures.append(f"{program} says {got}, expected {want}")
    for name in ("README.txt", "disc-template/autorun.inf"):
        text = kit.read(top + name)
        if not text or text.count(b"\n") != text.count(b"\r\n"):
            failures.append(f"{name} does not end every line with CRLF")
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print(f"OK: {top[:-1]}.zip holds the kit, launcher.exe as built, version {version}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
