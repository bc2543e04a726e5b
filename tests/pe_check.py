#!/usr/bin/env python3
"""Checks that the shipped launcher.exe loads and runs on every PC its disc is made for.

usage: pe_check.py LAUNCHER.EXE REVIEWED_IMPORTS OBJDUMP

- imports: only KERNEL32, USER32 and GDI32 (Windows takes them from the system directory
  whatever lies beside the program), each function one on the reviewed list (one that Windows
  95 as first released has); a new import fails until it is reviewed and listed;
- header: an i386 Windows GUI program for subsystem and OS version 4.0, aligned 4096/512 as
  Windows 95 maps it, without a TLS directory (Windows 95 runs no TLS callbacks of a program)
  and without a time stamp;
- hardening that Windows 95 ignores: DYNAMIC_BASE, NX_COMPAT, NO_SEH, TERMINAL_SERVER_AWARE,
  and relocations kept, in well-formed blocks of HIGHLOW entries inside the image;
- code: every instruction of every code section one that a 386 with its 387 has; anything
  else (BSWAP, XADD, CMPXCHG, CMOV, UD2, CPUID, the multi-byte NOP, MMX/SSE ...) fails,
  whatever compiler or flag brought it in;
- manifest (resource 1 of type 24), which Windows Vista and later read: the user's own rights
  (asInvoker, no UI access) under one asm.v2 trustInfo, the systems from Vista to 10/11, system
  DPI awareness and no dependency on the version 6 common controls; and a version resource
  without the words that made Vista take a program for an installer.
"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL"}
IMAGE_FILE_RELOCS_STRIPPED = 0x0001
BASE_RELOC_DIRECTORY = 5
# DllCharacteristics the launcher must declare, by name.
HARDENING = {"DYNAMIC_BASE": 0x0040, "NX_COMPAT": 0x0100, "NO_SEH": 0x0400,
             "TERMINAL_SERVER_AWARE": 0x8000}
IMAGE_REL_BASED_ABSOLUTE = 0  # padding entry
IMAGE_REL_BASED_HIGHLOW = 3
IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
TLS_DIRECTORY = 9
RT_VERSION = 16
RT_MANIFEST = 24
RESOURCE_DIRECTORY = 2
ASM_V2 = "urn:schemas-microsoft-com:asm.v2"
# The supportedOS ids of Windows Vista, 7, 8, 8.1 and 10/11.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
INSTALLER_WORDS = ("setup", "install", "update", "patch")
# What a 386 and its 387 run, as objdump -M intel names it: prefixes, then instructions.
PREFIXES_386 = set("rep repz repe repnz repne lock data16 addr16 cs ds es ss fs gs".split())
INSTRUCTIONS_386 = set("""
aaa aad aam aas adc add and arpl bound bsf bsr bt btc btr bts call cbw cdq clc cld cli clts
cmc cmp cmps cwd cwde daa das dec div enter hlt idiv imul in inc ins int int3 into iret iretd
ja jae jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp jns jo jp js lahf lar lcall lds lea
leave les lfs lgdt lgs lidt ljmp lldt lmsw lods loop loope loopne lret lsl lss ltr mov movs
movsx movzx mul neg nop not or out outs pop popa popad popf popfd push pusha pushad pushf
pushfd rcl rcr ret retf rol ror sahf sal sar sbb scas seta setae setb setbe sete setg setge
setl setle setne setno setnp setns seto setp sets sgdt shl shld shr shrd sidt sldt smsw stc
std sti stos str sub test verr verw wait xchg xlat xor
f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdiv fdivp fdivr
fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp fisub fisubr
fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop
fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave fscale fsin
fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp
fwait fxam fxch fxtract fyl2x fyl2xp1
""".split())


def beyond_386(listing):
    """The instructions of an objdump -d -M intel listing that a 386 lacks, and how many
    instructions it holds."""
    beyond, count = [], 0
    for line in listing.splitlines():
        match = re.match(r"\s*[0-9a-f]+:\t(.*)", line)
        words = match.group(1).split() if match else []
        while words and words[0] in PREFIXES_386:
            words.pop(0)
        # Bytes that begin no instruction are data that the linker keeps in .text (the
        # constructor lists' ends); no compiler writes an instruction that objdump cannot read.
        if not words or words[0] == "(bad)":
            continue
        count += 1
        operands = " ".join(words[1:])
        if (words[0] not in INSTRUCTIONS_386 or (words[0] == "nop" and operands)
                or re.search(r"\b[xyz]?mm\d", operands)):
            beyond.append(line.strip())
    return beyond, count


def read_pe(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise SystemExit(f"FAIL: {path}: not an MZ file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"FAIL: {path}: no PE signature")
    machine, sections, stamp, _, _, opt_size, flags = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    section_alignment, file_alignment = struct.unpack_from("<II", data, opt + 32)
    image_size = struct.unpack_from("<I", data, opt + 56)[0]
    dll_characteristics = struct.unpack_from("<H", data, opt + 70)[0]
    os_version = struct.unpack_from("<HH", data, opt + 40)
    subsystem_version = struct.unpack_from("<HH", data, opt + 48)
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    import_rva = struct.unpack_from("<I", data, dirs + 8)[0]
    resource_rva = struct.unpack_from("<I", data, dirs + 8 * RESOURCE_DIRECTORY)[0]
    tls_rva = struct.unpack_from("<I", data, dirs + 8 * TLS_DIRECTORY)[0]
    reloc_rva, reloc_size = struct.unpack_from("<II", data, dirs + 8 * BASE_RELOC_DIRECTORY)
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
        "flags": flags, "dll_characteristics": dll_characteristics,
        "alignment": (section_alignment, file_alignment),
        "relocations": (relocation_faults(data, off(reloc_rva), reloc_size, image_size)
                        if reloc_rva and reloc_size else ["no relocations"]),
        "subsystem_version": subsystem_version, "tls": tls_rva, "imports": imports,
        "resources": read_resources(data, off(resource_rva), off) if resource_rva else {},
    }


def relocation_faults(data, at, size, image_size):
    """What is wrong with the base relocation blocks at file offset at, as lines: a block's page
    outside the image or a part entry, an entry not HIGHLOW (or padding) or patching outside."""
    faults, end, count = [], at + size, 0
    while at < end:
        page, block = struct.unpack_from("<II", data, at)
        if block < 8 or block % 2 or at + block > end or page >= image_size:
            return faults + [f"relocation block at page {page:#x} of {block} bytes is malformed"]
        for (entry,) in struct.iter_unpack("<H", data[at + 8:at + block]):
            kind, offset = entry >> 12, entry & 0xFFF
            if kind == IMAGE_REL_BASED_HIGHLOW and page + offset + 4 <= image_size:
                count += 1
            elif kind != IMAGE_REL_BASED_ABSOLUTE:
                faults.append(f"relocation {entry:#06x} in page {page:#x}: type {kind} or "
                              "outside the image")
        at += block
    return faults if count else faults + ["the relocation blocks hold no entry"]


def read_resources(data, root, off):
    """{(type, name): bytes} of the resource tree at file offset root; ids as numbers."""
    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            yield name, target

    found = {}
    for kind, types in entries(root):
        for name, names in entries(root + (types & 0x7FFFFFFF)):
            for _, leaf in entries(root + (names & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, root + leaf)
                found[(kind, name)] = data[off(rva):off(rva) + size]
    return found


def version_node(block, at):
    """One node of a version resource at offset at: its key, value bytes, children, length."""
    length, value_length, text = struct.unpack_from("<HHH", block, at)
    key_end = at + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    value_at = (key_end + 5) & ~3
    value = block[value_at:value_at + value_length * (2 if text else 1)]
    children, child = [], (value_at + len(value) + 3) & ~3
    while child < at + length:
        children.append(version_node(block, child))
        child = (child + children[-1]["length"] + 3) & ~3
    return {"key": block[at + 6:key_end].decode("utf-16-le"), "value": value,
            "children": children, "length": length}


def file_version(resources):
    """The fixed file and product versions ("1.2.3.4") of the version resource and its string
    values ({"FileVersion": "1.2.3", ...}); (None, None, {}) without one."""
    if (RT_VERSION, 1) not in resources:
        return None, None, {}
    root = version_node(resources[(RT_VERSION, 1)], 0)
    ms, ls, pms, pls = struct.unpack_from("<IIII", root["value"], 8)
    strings = {string["key"]: string["value"].decode("utf-16-le").rstrip("\0")
               for info in root["children"] if info["key"] == "StringFileInfo"
               for table in info["children"] for string in table["children"]}

    def dotted(high, low):
        return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"

    return dotted(ms, ls), dotted(pms, pls), strings


def check_manifest(resources):
    """What is wrong with the manifest and the version resource, as lines."""
    failures = []
    manifests = [name for kind, name in resources if kind == RT_MANIFEST]
    if manifests != [1]:
        return [f"manifest resources {manifests}, expected exactly one, number 1"]
    text = resources[(RT_MANIFEST, 1)].decode("utf-8")
    if text.count(ASM_V2) != 1:
        failures.append(f"the manifest declares {ASM_V2} {text.count(ASM_V2)} times, not once")
    root = ElementTree.fromstring(text)
    level = root.find(f"{{{ASM_V2}}}trustInfo/{{{ASM_V2}}}security/{{{ASM_V2}}}requestedPrivileges/"
                      f"{{{ASM_V2}}}requestedExecutionLevel")
    if level is None or level.attrib != {"level": "asInvoker", "uiAccess": "false"}:
        failures.append("no asm.v2 trustInfo asking for level asInvoker without UI access")
    ids = {e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")}
    if ids != SUPPORTED_OS:
        failures.append(f"supportedOS ids {sorted(ids)}, expected those of Vista to 10/11")
    dpi = [e.text for e in root.iter() if e.tag.endswith("}dpiAware")]
    if dpi != ["true"]:
        failures.append(f"dpiAware {dpi}, expected true (aware of the system DPI)")
    if "Common-Controls" in text:
        failures.append("a dependency on the common controls, which change the buttons' look")
    version = b"".join(v for (kind, _), v in resources.items() if kind == RT_VERSION)
    words = [w for w in INSTALLER_WORDS if w in version.decode("utf-16-le", "ignore").lower()]
    if words:
        failures.append(f"the version resource says {words}: Windows would take it for a setup")
    return failures


def reviewed(path):
    """DLL and function pairs from the list: 'DLL Function  reason', # starts a comment."""
    pairs = set()
    for line in open(path):
        line = line.split("#", 1)[0].split()
        if line:
            pairs.add((line[0].upper() + ".DLL", line[1]))
    return pairs


def main():
    if len(sys.argv) != 4:
        asked = sys.argv[1:] in (["-h"], ["--help"])
        print(__doc__.strip(), file=sys.stdout if asked else sys.stderr)
        sys.exit(0 if asked else 2)
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
    if pe["alignment"] != (0x1000, 0x200):
        failures.append(f"section and file alignment {pe['alignment'][0]:#x}, "
                        f"{pe['alignment'][1]:#x}; expected 0x1000, 0x200")
    missing = [name for name, bit in HARDENING.items() if not pe["dll_characteristics"] & bit]
    if missing:
        failures.append(f"DllCharacteristics {pe['dll_characteristics']:#06x} lacks "
                        f"{', '.join(missing)}")
    if pe["flags"] & IMAGE_FILE_RELOCS_STRIPPED:
        failures.append("the header says the relocations are stripped")
    failures += pe["relocations"]
    if pe["tls"]:
        failures.append("a TLS directory, which Windows 95 does not run for a program")
    if pe["stamp"]:
        failures.append(f"time stamp {pe['stamp']:#x}: two builds of one commit would differ")
    failures += check_manifest(pe["resources"])
    code = subprocess.run([objdump, "-d", "--no-show-raw-insn", "-M", "intel", path],
                          capture_output=True, text=True, check=True).stdout
    beyond, count = beyond_386(code)
    if count == 0:
        failures.append("the disassembly shows no code; the scan saw nothing")
    failures += [f"instruction beyond the 386: {line}" for line in beyond[:20]]
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print(f"OK: system DLLs only, every import reviewed, 4.0 header, DllCharacteristics "
              f"{pe['dll_characteristics']:#06x}, relocations, no TLS, 386 code, manifest")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
