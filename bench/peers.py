"""Times other decoders on the benchmark pictures (written by `bmp_bench --write-pictures`).

    /usr/bin/python3 bench/peers.py DIR

Pillow (Debian's python3-pil): the file's bytes are held in memory and opened and decoded
there, many times in this one process; the first decode is checked against DIR/<name>.rows.
ImageMagick: `convert -bench N <file> null:` decodes the file N times in one process
(reading it from the page cache and handing its pixels to the null writer each time); the
rate of the one-thread run is taken. A decoder that is not installed is skipped with a note.
Prints tab-separated lines as decode_bench does:
    result  <picture>  <decoder>  <nanoseconds per decode>  <output bytes>
    check   <picture>  <decoder>  ok | differs | not checked
    note    <decoder>  <text>
"""
import io
import os
import re
import shutil
import subprocess
import sys
import time

PICTURES = [f"{kind}-{size}" for size in ("640x480", "4000x4000")
            for kind in ("long", "short", "plain")]


def out(*fields):
    print("\t".join(str(f) for f in fields), flush=True)


def best_time(work, batches=9, at_least=0.05):
    """Nanoseconds per call: repeats doubled until a batch takes at_least seconds, then the
    best of several batches (other work on the machine only ever adds time)."""
    repeats = 1
    while True:
        start = time.perf_counter()
        for _ in range(repeats):
            work()
        if time.perf_counter() - start >= at_least:
            break
        repeats *= 2
    samples = []
    for _ in range(batches):
        start = time.perf_counter()
        for _ in range(repeats):
            work()
        samples.append((time.perf_counter() - start) / repeats)
    return min(samples) * 1e9


def pillow(directory):
    try:
        from PIL import Image, __version__
    except ImportError:
        out("note", "pillow", "not installed (Debian package python3-pil); skipped")
        return
    out("note", "pillow", f"Pillow {__version__}, /usr/bin/python3 "
        f"{sys.version.split()[0]}: Image.open on the bytes in memory, then load()")
    for name in PICTURES:
        with open(os.path.join(directory, name + ".bmp"), "rb") as f:
            data = f.read()
        with open(os.path.join(directory, name + ".rows"), "rb") as f:
            rows = f.read()

        def decode():
            image = Image.open(io.BytesIO(data))
            image.load()
            return image

        image = decode()
        out("check", name, "pillow", "ok" if image.tobytes() == rows else "differs")
        out("result", name, "pillow", f"{best_time(decode):.1f}", len(rows))


def imagemagick(directory):
    convert = shutil.which("convert")
    if not convert:
        out("note", "imagemagick", "not installed (Debian package imagemagick); skipped")
        return
    version = subprocess.run([convert, "-version"], capture_output=True, text=True).stdout
    out("note", "imagemagick", version.splitlines()[0].split(" https")[0] +
        ": convert -bench N FILE null:, one thread")
    env = dict(os.environ, MAGICK_THREAD_LIMIT="1")
    for name in PICTURES:
        path = os.path.join(directory, name + ".bmp")
        size = os.path.getsize(os.path.join(directory, name + ".rows"))

        def bench(iterations):
            run = subprocess.run([convert, "-bench", str(iterations), path, "null:"],
                                 capture_output=True, text=True, env=env)
            rates = re.findall(r"Performance\[1\]: \d+i ([0-9.]+)ips", run.stdout + run.stderr)
            return float(rates[0]) if rates else None

        # Iterations grown until one run takes a second, then the best of three such runs.
        iterations, rate = 2, bench(2)
        while rate and iterations / rate < 1.0:
            iterations = max(iterations * 2, int(1.2 * rate) + 1)
            rate = bench(iterations)
        if rate:
            rate = max([rate] + [bench(iterations) or 0 for _ in range(2)])
        else:
            out("note", "imagemagick", f"{name}: no timing in its output; skipped")
        if rate:
            out("check", name, "imagemagick", "not checked")
            out("result", name, "imagemagick", f"{1e9 / rate:.1f}", size)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: peers.py DIR")
    pillow(sys.argv[1])
    imagemagick(sys.argv[1])


if __name__ == "__main__":
    main()
