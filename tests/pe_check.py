#!/usr/bin/env python3
"""Checks that the shipped launcher.exe loads and runs on every PC its disc is made for.

usage: pe_check.py LAUNCHER.EXE REVIEWED_IMPORTS OBJDUMP

- imports: only KERNEL32, USER32, GDI32 and VERSION, and each function one on the reviewed
  list (a function that Windows 95 as first released has); a new import fails until it is
  reviewed and listed;
- header: an i386 Windows GUI program for subsystem and OS version 4.0, without a TLS
  directory (Windows 95 runs no TLS callbacks of a program) and without a time stamp;
- code: no instruction that a 386 lacks and later compilers like to use (CMOV, FCOMI, the
  multi-byte NOP, MMX/SSE, CPUID, RDTSC, CMPXCHG8B).
"""
import re
import struct
import subprocess
import sys

DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "VERSION.DLL"}
IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
TLS_DIRECTORY = 9
BEYOND_386 = re.compile(
    r"^\s*[0-9a-f]+:\s+(?:[0-9a-f]{2} )+\s*"
    r"(cmov\w*|fcmov\w*|fcomi\w*|fucomi\w*|nopw|nopl|cpuid|rdtsc\w*|cmpxchg8b|\w*\s.*%x?mm\d)")


def read_pe(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise SystemExit(f"FAIL: {path}: not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"FAIL: {path}: no PE signature")
    machine, sections, stamp, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    os_version = struct.unpack_from("<HH", data, opt + 40)
    subsystem_version = struct.unpack_from("<HH", data, opt + 48)
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    tls_rva = struct.unpack_from("<I", data, dirs + 8 * TLS_DIRECTORY)[0]
    table = []
    sec = opt + opt_size
    for i in range(sections):
        vsize, vaddr, rsize, raddr = struct.unpack_from("<IIII", data, sec + 40 * i + 8)
        table.append((vaddr, max(vsize, rsize), raddr))

    def off(rva):
        for vaddr, size, raddr in table:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise SystemExit(f"FAIL: {path}: RVA {rva:#x} outside every section")

    def text(at):
        return data[at:data.index(b"\0", at)].decode()

    imports = []
    d = off(import_rva) if import_rva else None
    while d is not None and any(struct.unpack_from("<IIIII", data, d)):
        lookup, _, _, name_rva, first = struct.unpack_from("<IIIII", data, d)
        dll = text(off(name_rva)).upper()
        entry = off(lookup or first)
        while (thunk := struct.unpack_from("<I", data, entry)[0]) != 0:
            imports.append((dll, f"#{thunk & 0xFFFF}" if thunk & 0x80000000 else text(off(thunk) + 2)))
            entry += 4
        d += 20
    return {
        "machine": machine, "stamp": stamp, "os": os_version, "subsystem": subsystem,
        "subsystem_version": subsystem_version, "tls": tls_rva, "imports": imports,
    }


def reviewed(path):
    """DLL and function pairs from the list: 'DLL Function  reason', # starts a comment."""
    pairs = set()
    for line in open(path):
        line = line.split("#", 1)[0].split()
        if line:
            pairs.add((line[0].upper() + ".DLL", line[1]))
    return pairs


def main():
    path, listed, objdump = sys.argv[1:4]
    pe = read_pe(path)
    allowed = reviewed(listed)
    failures = []
    dlls = {dll for dll, _ in pe["imports"]}
    print(f"{path}: {len(pe['imports'])} imported functions from {', '.join(sorted(dlls))}")
    if dlls != DLLS:
        failures.append(f"imports DLLs {sorted(dlls)}, expected exactly {sorted(DLLS)}")
    for dll, name in pe["imports"]:
        if (dll, name) not in allowed:
            failures.append(f"{dll} {name} is not on the reviewed list {listed}")
    if pe["machine"] != IMAGE_FILE_MACHINE_I386:
        failures.append(f"machine {pe['machine']:#x}, expected i386")
    if pe["subsystem"] != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        failures.append(f"subsystem {pe['subsystem']}, expected Windows GUI")
    for what in ("subsystem_version", "os"):
        if pe[what] != (4, 0):
            failures.append(f"{what} {pe[what][0]}.{pe[what][1]}, expected 4.0")
    if pe["tls"]:
        failures.append("a TLS directory, which Windows 95 does not run for a program")
    if pe["stamp"]:
        failures.append(f"time stamp {pe['stamp']:#x}: two builds of one commit would differ")
    code = subprocess.run([objdump, "-d", "-j", ".text", path], capture_output=True, text=True,
                          check=True).stdout
    beyond = [line.strip() for line in code.splitlines() if BEYOND_386.match(line)]
    if "<.text>:" not in code and ">:" not in code:
        failures.append("the disassembly shows no code; the scan saw nothing")
    failures += [f"instruction beyond the 386: {line}" for line in beyond[:20]]
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("OK: system DLLs only, every import reviewed, 4.0 header, no TLS, 386 code")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
