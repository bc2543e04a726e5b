"""Writes docs/performance.md from the decoding benchmarks' results.

    python3 bench/report.py --host HOST.json --windows WINDOWS.tsv --windows-preset PRESET
        --windows-why TEXT --peers PEERS.tsv [--startup STARTUP.md] --out docs/performance.md

HOST.json is bmp_bench's Google Benchmark JSON (repetitions, medians reported), WINDOWS.tsv
decode_bench's output, PEERS.tsv peers.py's output. Only the standard library is used.
"""
import argparse
import datetime
import json
import os
import platform
import subprocess

PICTURES = [f"{kind}-{size}" for size in ("640x480", "4000x4000")
            for kind in ("long", "short", "plain")]
KIND_TEXT = {
    "long": "long runs: encoded runs of 1-255 pixels and absolute runs of 3-255, alternating",
    "short": "short runs: encoded runs of 1-4 pixels and absolute runs of 3-8, alternating",
    "plain": "plain rows: uncompressed 8-bit rows",
}


def size_of(picture):
    return picture.split("-", 1)[1]


def first_line(command):
    try:
        run = subprocess.run(command, capture_output=True, text=True, timeout=60)
        return (run.stdout or run.stderr).splitlines()[0].strip()
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "not available"


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def read_host(path):
    """{(measure, picture or size): nanoseconds}, the best repetition of each in bmp_bench's
    JSON."""
    with open(path) as f:
        data = json.load(f)
    times = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        name = b.get("run_name", b["name"])
        measure, what = name.split("/", 1)
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        if b.get("error_occurred"):
            continue
        t = b["real_time"] * scale
        times[(measure, what)] = min(t, times.get((measure, what), t))
    return times


def read_tsv(path):
    """Results as {(measure, picture or size): ns}, checks as {(measure, picture): text}, notes."""
    times, checks, notes = {}, {}, []
    if not path or not os.path.exists(path):
        return times, checks, notes
    with open(path) as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields[0] == "result" and len(fields) >= 5:
                times[(fields[2], fields[1])] = float(fields[3])
            elif fields[0] == "check" and len(fields) >= 4:
                checks[(fields[2], fields[1])] = fields[3]
            elif fields[0] == "note" and len(fields) >= 3:
                notes.append((fields[1], fields[2]))
            elif fields[0] == "build" and len(fields) >= 2:
                notes.append(("build", " ".join(fields[1:])))
    return times, checks, notes


def area(size):
    width, height = size.split("x")
    return (int(width) + 3) // 4 * 4 * int(height)


def cell(times, measure, picture, size):
    """Time, output rate and (beside the block operations) the multiple of one memset."""
    t = times.get((measure, picture))
    if t is None:
        return "—"
    text = f"{t / 1e3:,.1f} µs<br>{area(size) / t:.2f} GB/s"
    memset = times.get(("memset", size))
    if measure not in ("memset", "memcpy") and memset:
        text += f"<br>{t / memset:.2f}× memset"
    return text


def table(times, measures, pictures):
    head = ["Picture", "memset", "memcpy"] + [label for label, _ in measures]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for picture in pictures:
        size = size_of(picture)
        row = [picture, cell(times, "memset", size, size), cell(times, "memcpy", size, size)]
        row += [cell(times, measure, picture, size) for _, measure in measures]
        lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def verdict(ours, theirs):
    """'met' or 'missed by N %' for ours <= theirs."""
    if ours is None or theirs is None:
        return None
    limit = theirs
    if ours <= limit:
        return f"met ({ours / theirs:.2f}×)"
    return f"**missed** by {(ours / limit - 1) * 100:.0f} % ({ours / theirs:.2f}×)"


def target_rows(host, win, win_checks, peers, windows_label):
    rows = []
    for picture in PICTURES:
        kind = picture.split("-")[0]
        for label, times in (("host", host), (windows_label, win)):
            if kind == "short":
                rows.append((f"short runs: DecodeRle8 no slower than the byte loop ({label})",
                             picture, verdict(times.get(("decode", picture)),
                                              times.get(("byteloop", picture)))))
        gdi = verdict(win.get(("unpack", picture)), win.get(("gdi", picture)))
        if gdi and win_checks.get(("gdi", picture), "ok") != "ok":
            gdi += "; GDI's rows are wrong (see the Windows section)"
        rows.append((f"faster than Wine's GDI ({windows_label}: unpack vs SetDIBitsToDevice)",
                     picture, gdi))
        for peer, name in (("pillow", "Pillow"), ("imagemagick", "ImageMagick")):
            rows.append((f"faster than {name} (host: whole load vs its decode)", picture,
                         verdict(host.get(("load", picture)), peers.get((peer, picture)))))
    lines = ["| Target | Picture | Result |", "|---|---|---|"]
    for target, picture, result in rows:
        lines.append(f"| {target} | {picture} | {result or 'not measured'} |")
    return "\n".join(lines)


WHY = """### Why a target can be missed

- **Wine's GDI on long runs.** Wine 8.0's `BI_RLE8` decoding goes wrong after an absolute run of
  255 pixels (in a one-row stream, absolute runs of 127 to 254 pixels come out right and the run
  after one of 255 does not), so from the first such run its rows are not the picture's, and its
  time is that of a different, wrong decoding. The picture core's rows are checked equal to the
  expected ones.
- **Plain rows against Wine's GDI.** Both copy the rows as they are, the picture core in one
  block copy and GDI row by row into its DIB section, so both run at about the speed of
  `memcpy`; which one is ahead in a given run is within the spread of a shared machine.
- **Short runs against Wine's GDI.** With runs of 1 to 4 pixels both decoders spend their time
  on one hard-to-predict branch or two per run, not on moving bytes. Wine's own code is compiled
  for speed, the shipped code for size, and at 4000 x 4000 (some 6 million runs, a 16 MB output
  that leaves the caches) the two lie within a few per cent of each other: on a shared machine
  which one is ahead can change from one run of this script to the next.
- **The whole load under Wine.** Each load takes a zero-filled block from the global heap and
  gives it back. Timed alone under Wine on this machine, such a block of 300 KB costs about half a
  millisecond to allocate and free, and one of 16 MB costs about 10 µs per 4 KB page (a page
  fault at first touch in this virtual machine), some 40 ms in all. The launcher loads its one
  picture once, so this is what it pays; the unpack column is the same work without it.
- **The host's whole load** includes the same allocation, but the C library keeps a freed block
  for the next allocation, so pages are faulted in only once over all repetitions.
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--windows", required=True)
    parser.add_argument("--windows-preset", required=True)
    parser.add_argument("--windows-why", required=True)
    parser.add_argument("--peers", required=True)
    parser.add_argument("--startup")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    host = read_host(args.host)
    win, win_checks, win_notes = read_tsv(args.windows)
    peer_times, peer_checks, peer_notes = read_tsv(args.peers)
    build = next((text for what, text in win_notes if what == "build"), "not run")
    wine = first_line(["/usr/lib/wine/wine64", "--version"])
    arch = "i686" if args.windows_preset == "win32" else "x86_64"
    compiler = f"{arch}-w64-mingw32-g++-posix"
    win_label = f"{args.windows_preset} under Wine"

    doc = []
    doc.append("# Performance\n")
    doc.append("Written by `scripts/bench` (not part of `scripts/test`); run it again to "
               "refresh. Times are the best of many short repetitions (the machine may be busy with other work, which only ever adds time); every figure is per decode of one whole picture. "
               "No test asserts any of these times.\n")
    doc.append("## Machine\n")
    doc.append(f"- Date: {datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC")
    doc.append(f"- CPU: {cpu_model()}, {os.cpu_count()} logical cores (shared with other "
               "work while measured, so expect a few per cent of noise)")
    doc.append(f"- Kernel: {platform.system()} {platform.release()}")
    doc.append(f"- Wine: {wine}")
    doc.append(f"- Host compiler: {first_line(['clang++', '--version'])}, `-O2`, "
               "no sanitizers (Google Benchmark " + first_line(
                   ["dpkg-query", "-W", "-f=${Version}", "libbenchmark-dev"]) + ")")
    doc.append(f"- Windows compiler: {first_line([compiler, '--version'])}, the preset's "
               "flags (`-Os`, as the shipped launcher)")
    doc.append(f"- Windows build that ran: preset `{args.windows_preset}` ({build}). "
               f"{args.windows_why}\n")

    doc.append("## Pictures\n")
    doc.append("Made in code (`bench/bench_pictures.cpp`), the same bytes for every decoder, "
               "each at 640 x 480 and 4000 x 4000, 256 distinct colours:\n")
    for kind in ("long", "short", "plain"):
        doc.append(f"- `{kind}`: {KIND_TEXT[kind]}")
    doc.append("\nRuns never cross a row's end; every row but the last ends with an end of "
               "line, the stream with an end of bitmap.\n")

    doc.append("## Measures\n")
    doc.append("- `memset`, `memcpy`: one call of the C library's routine over the output's "
               "size (stride x rows bytes), in the same binary.")
    doc.append("- `DecodeRle8`: the picture core's expansion of the stream into a block held "
               "from before.")
    doc.append("- byte loop: a plain BI_RLE8 expander that stores every pixel on its own, "
               "bounded the same way (`bench/byte_loop_rle8.cpp`, built without the "
               "compiler's turning of loops into library calls).")
    doc.append("- unpack: `UnpackBmp` into a packed block held from before: header, index "
               "table and rows (expanded, or for plain rows one block copy).")
    doc.append("- whole load: everything the launcher does with a file held in memory: "
               "header checks, colours (on Windows the palette, `CreatePalette`), the "
               "zero-filled packed block (on Windows from the global heap), its rows, and "
               "the release of all of it.")
    doc.append("- Wine's GDI: `SetDIBitsToDevice` of the same `BI_RLE8` stream (or plain "
               "rows) into an 8-bit DIB section of the picture's colours, selected into a "
               "memory DC, followed by `GdiFlush`.")
    doc.append("- Pillow, ImageMagick: see the notes below the host table.\n")
    doc.append("Each cell: time per picture, bytes of output per second, and the time as a "
               "multiple of one `memset` of the output.\n")

    doc.append("## Host build (Google Benchmark, `build/.../bench/bmp_bench`)\n")
    doc.append(table(host, [("DecodeRle8", "decode"), ("byte loop", "byteloop"),
                            ("unpack", "unpack"), ("whole load", "load")], PICTURES))
    doc.append("")
    doc.append("## Other decoders on the host\n")
    peer_measures = [("whole load (ours)", "load"), ("Pillow", "pillow"),
                     ("ImageMagick", "imagemagick")]
    merged = dict(host)
    merged.update(peer_times)
    doc.append(table(merged, peer_measures, PICTURES))
    doc.append("")
    for who, text in peer_notes:
        doc.append(f"- {who}: {text}")
    for (peer, picture), text in sorted(peer_checks.items()):
        if text not in ("ok", "not checked"):
            doc.append(f"- {peer} on {picture}: output {text}")
    doc.append("- Pillow's output is checked against the expected rows once per picture; "
               "ImageMagick's is not (it holds RGB quanta, not indices).\n")

    doc.append(f"## Windows build under Wine (`decode_bench.exe`, preset `{args.windows_preset}`)\n")
    doc.append(table(win, [("DecodeRle8", "decode"), ("byte loop", "byteloop"),
                           ("unpack", "unpack"), ("whole load", "load"),
                           ("Wine's GDI", "gdi")], PICTURES))
    doc.append("")
    bad = [(m, p, t) for (m, p), t in sorted(win_checks.items()) if t != "ok"]
    if bad:
        doc.append("Checks of the output against the expected rows that failed:\n")
        for measure, picture, text in bad:
            doc.append(f"- {measure} on {picture}: {text}")
        doc.append("")
    else:
        doc.append("Every output, GDI's included, equals the expected rows.\n")

    doc.append("## Targets\n")
    doc.append(target_rows(host, win, win_checks, peer_times, win_label))
    doc.append("")
    doc.append(WHY)
    if args.startup and os.path.exists(args.startup):
        with open(args.startup) as f:
            startup = f.read().strip()
        if startup:
            doc.append(startup + "\n")
    with open(args.out, "w") as f:
        f.write("\n".join(doc).rstrip() + "\n")


if __name__ == "__main__":
    main()
