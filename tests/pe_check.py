#!/usr/bin/env python3
"""Checks what a PE file imports and which subsystem it asks for.

The launcher goes on discs that run on machines with nothing but Windows itself, so it may
only depend on system DLLs; and it must be a GUI program so that no console window opens.
"""
import struct
import sys

ALLOWED = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "VERSION.DLL", "MSVCRT.DLL"}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


def read_pe(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise SystemExit(f"{path}: not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"{path}: no PE signature")
    machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    table = []
    sec = opt + opt_size
    for i in range(sections):
        vsize, vaddr, rsize, raddr = struct.unpack_from("<IIII", data, sec + 40 * i + 8)
        table.append((vaddr, max(vsize, rsize), raddr))

    def off(rva):
        for vaddr, size, raddr in table:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise SystemExit(f"{path}: RVA {rva:#x} outside every section")

    names = []
    if import_rva:
        d = off(import_rva)
        while True:
            fields = struct.unpack_from("<IIIII", data, d)
            if not any(fields):
                break
            name_off = off(fields[3])
            names.append(data[name_off:data.index(b"\0", name_off)].decode().upper())
            d += 20
    return machine, magic, subsystem, names


def main():
    path = sys.argv[1]
    machine, magic, subsystem, names = read_pe(path)
    print(f"{path}: machine {machine:#x}, subsystem {subsystem}, imports {', '.join(names)}")
    bad = [n for n in names if n not in ALLOWED]
    ok = True
    if bad:
        print("FAIL: imports outside the system DLLs: " + ", ".join(bad))
        ok = False
    if subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        print(f"FAIL: subsystem {subsystem}, expected Windows GUI ({IMAGE_SUBSYSTEM_WINDOWS_GUI})")
        ok = False
    if "KERNEL32.DLL" not in names:
        print("FAIL: KERNEL32 is not imported; the import table was not read")
        ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
