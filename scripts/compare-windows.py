#!/usr/bin/python3
"""Runs lumiset-cli of the Linux build and lumiset-cli.exe of the Windows zip
(under Wine) on the same pictures and compares what they print and write,
byte for byte.

    scripts/compare-windows.py LINUX_CLI WINDOWS_ZIP

The pictures: the samples, the BMP corpus of the tests, and pictures of every
other kind written here (PNG of every colour type and depth, with and without
transparency keys, PNM P1-P6 with several maximum samples, TGA of every type,
GIF, JPEG, TIFF and WebP). For each: `info`; `export` to CSV in the default
and the Russian locale, in the long layout in UTF-8, and with a luminance of
typed weights; `export` to a filled workbook with a summary sheet, whose parts
are compared after unpacking (all but the file's creation time); and one
`stats` over all of them. Prints the differences and exits 1 if there are any.
Needs Debian's python3-pil and wine.
"""
import concurrent.futures
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

from PIL import Image


def png(path, width, height, colour_type, depth, rows, palette=None, trns=None):
    """Writes a PNG from rows of sample values (one list per row)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    for row in rows:
        raw.append(0)
        if depth < 8:
            bits = "".join(format(v, f"0{depth}b") for v in row)
            bits += "0" * (-len(bits) % 8)
            raw += bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        elif depth == 8:
            raw += bytes(row)
        else:
            raw += b"".join(struct.pack(">H", v) for v in row)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
    if palette:
        out += chunk(b"PLTE", bytes(c for rgb in palette for c in rgb))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    out += chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(out)


def write_pictures(folder, rng):
    w, h = 37, 23
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
    for colour_type, depths in ((0, (1, 2, 4, 8, 16)), (2, (8, 16)), (3, (1, 2, 4, 8)), (4, (8, 16)), (6, (8, 16))):
        for depth in depths:
            top = (1 << depth) - 1
            rows = [[rng.randint(0, top) for _ in range(w * channels[colour_type])] for _ in range(h)]
            palette = [(rng.randint(0, 255), rng.randint(0, 255), rng.randint(0, 255)) for _ in range(1 << depth)] \
                if colour_type == 3 else None
            png(f"{folder}/png-{colour_type}-{depth}.png", w, h, colour_type, depth, rows, palette)
            if colour_type in (0, 2):  # a transparency key on one of the values present
                key = rows[0][:channels[colour_type]]
                trns = b"".join(struct.pack(">H", v) for v in key)
                png(f"{folder}/png-{colour_type}-{depth}-key.png", w, h, colour_type, depth, rows, trns=trns)
    for kind, maxval in (("1", 1), ("2", 255), ("2", 1000), ("2", 65535), ("3", 255), ("3", 4095),
                         ("4", 1), ("5", 255), ("5", 1000), ("5", 65535), ("6", 255), ("6", 65535)):
        plain = kind in "123"
        per = 3 if kind in "36" else 1
        values = [rng.randint(0, maxval) for _ in range(w * h * per)]
        header = f"P{kind}\n# made by compare-windows\n{w} {h}\n" + ("" if kind in "14" else f"{maxval}\n")
        if plain:
            body = " ".join(map(str, values)).encode() + b"\n"
        elif kind == "4":
            rows = [values[y * w:(y + 1) * w] for y in range(h)]
            body = b"".join(bytes(int("".join(map(str, r + [0] * (-w % 8)))[i:i + 8], 2)
                                  for i in range(0, w + (-w % 8), 8)) for r in rows)
        else:
            body = b"".join(struct.pack(">H" if maxval > 255 else "B", v) for v in values)
        with open(f"{folder}/pnm-p{kind}-{maxval}.pnm", "wb") as f:
            f.write(header.encode() + body)
    for image_type, depth in ((1, 8), (2, 16), (2, 24), (2, 32), (3, 8), (9, 8), (10, 24), (11, 8)):
        mapped = image_type in (1, 9)
        header = struct.pack("<BBBHHBHHHHBB", 0, 1 if mapped else 0, image_type, 0, 256 if mapped else 0,
                             24 if mapped else 0, 0, 0, w, h, depth, 0x20 if image_type == 2 else 0)
        cmap = bytes(rng.randint(0, 255) for _ in range(256 * 3)) if mapped else b""
        pixels = [bytes(rng.randint(0, 255) for _ in range(depth // 8)) for _ in range(w * h)]
        if image_type >= 9:  # run-length, row by row: runs of four points and raw packets of three
            body = b""
            for y in range(h):
                i = 0
                while i < w:
                    p = pixels[y * w + i]
                    if i % 7 == 0 and i + 4 <= w:
                        body += bytes([0x80 | 3]) + p
                        i += 4
                    else:
                        n = min(3, w - i)
                        body += bytes([n - 1]) + b"".join(pixels[y * w + i:y * w + i + n])
                        i += n
        else:
            body = b"".join(pixels)
        with open(f"{folder}/tga-{image_type}-{depth}.tga", "wb") as f:
            f.write(header + cmap + body)
    rgb = Image.frombytes("RGB", (w, h), bytes(rng.randint(0, 255) for _ in range(w * h * 3)))
    rgb.convert("P").save(f"{folder}/pil.gif")
    rgb.save(f"{folder}/pil-colour.jpg", quality=90)
    rgb.convert("L").save(f"{folder}/pil-grey.jpg", quality=90)
    rgb.save(f"{folder}/pil-rgb.tif")
    rgb.convert("P").save(f"{folder}/pil-palette.tif")
    rgb.convert("1").save(f"{folder}/pil-bilevel.tif")
    Image.frombytes("I;16", (w, h), bytes(rng.randint(0, 255) for _ in range(w * h * 2))).save(f"{folder}/pil-grey16.tif")
    rgb.save(f"{folder}/pil-lossless.webp", lossless=True)
    rgb.save(f"{folder}/pil-lossy.webp", quality=80)


def run(command, cwd):
    done = subprocess.run(command, cwd=cwd, capture_output=True, timeout=300)
    return done.returncode, done.stdout, done.stderr


def written(path):
    """What a command wrote: a CSV's bytes, or a workbook's parts but its
    creation time (the file's, and the summary sheet's time of export)."""
    if not os.path.exists(path):
        return None
    if not path.endswith(".xlsx"):
        with open(path, "rb") as f:
            return f.read()
    with zipfile.ZipFile(path) as z:
        return {n: re.sub(rb"\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d", b"(time)", z.read(n))
                for n in z.namelist() if n != "docProps/core.xml"}


def same_folder(value, windows_folder, linux_folder):
    """\a value with the Windows side's folder written as the Linux side's:
    the summary sheet names a picture's full path."""
    if isinstance(value, bytes):
        return value.replace(windows_folder.encode(), linux_folder.encode())
    if isinstance(value, dict):
        return {k: same_folder(v, windows_folder, linux_folder) for k, v in value.items()}
    if isinstance(value, tuple):
        return tuple(same_folder(v, windows_folder, linux_folder) for v in value)
    return value


def main():
    linux_cli, windows_zip = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    work = tempfile.mkdtemp(prefix="lumiset-compare-")
    pictures = os.path.join(work, "pictures")
    os.makedirs(pictures)
    corpus = []
    for folder in ("samples", "tests/data/bmpsuite"):
        for top, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.lower().endswith((".bmp", ".tga", ".png", ".jpg", ".tif", ".gif", ".webp")):
                    target = name if folder == "samples" else os.path.basename(top) + "-" + name
                    shutil.copy(os.path.join(top, name), os.path.join(pictures, target))
                    if folder != "samples":
                        corpus.append(target)
    write_pictures(pictures, random.Random(20261207))
    with zipfile.ZipFile(windows_zip) as z:
        z.extractall(os.path.join(work, "zip"))
    exe = next(os.path.join(d, "lumiset-cli.exe") for d, _, files in os.walk(os.path.join(work, "zip"))
               if "lumiset-cli.exe" in files)
    # The unpacked zip alone: nothing on WINEPATH.
    os.environ.pop("WINEPATH", None)
    os.environ.setdefault("WINEDEBUG", "-all")
    os.environ.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    # A new Wine prefix says so on standard error: make it before comparing.
    subprocess.run(["wineboot", "--init"], check=True, capture_output=True)
    subprocess.run(["wineserver", "--wait"], check=True)
    programs = {"linux": [linux_cli], "windows": ["wine", exe]}
    names = sorted(os.listdir(pictures))
    # Both sides as a Russian user: Wine gives its programs the Windows locale
    # of the Linux one they start in (one for all: Wine keeps it in its
    # registry, so programs started together must agree).
    os.environ.update(LC_ALL="ru_RU.UTF-8", LANG="ru_RU.UTF-8")
    exports = [
        ("csv", ["--csv", "out.csv", "--locale", "en_US"]),
        ("csv-user-locale", ["--csv", "out.csv", "--from", "3,2", "--to", "30,21"]),
        ("long-utf8", ["--csv", "out.csv", "--locale", "ru_RU", "--layout", "long", "--encoding", "utf-8"]),
        ("luma", ["--csv", "out.csv", "--locale", "ru_RU", "--measure", "luma", "--weights", "0.2126,0.7152,0.0722"]),
        ("xlsx", ["--xlsx", "out.xlsx", "--locale", "ru_RU", "--fill", "--summary", "--measure", "red,mean,luma"]),
    ]
    # Every command of a side, each writing its own file: the BMP corpus gets
    # its report and one table, every other picture all of them.
    jobs = []
    for name in names:
        jobs.append((f"info {name}", ["info", name], None))
        for label, options in exports[:1] if name in corpus else exports:
            out = f"{label}-{name}" + os.path.splitext(options[1])[1]
            jobs.append((f"export {label} {name}", ["export", name, options[0], out] + options[2:], out))
    jobs.append(("stats", ["stats"] + names, None))

    for side in programs:
        shutil.copytree(pictures, os.path.join(work, side))

    def results_of(side, jobs):
        folder = os.path.join(work, side)

        def one(job):
            """One command's exit status, output and written file."""
            label, args, out = job
            if out and os.path.exists(os.path.join(folder, out)):
                os.remove(os.path.join(folder, out))
            result = run(programs[side] + args, folder)
            return result, written(os.path.join(folder, out)) if out else None
        # Wine starts each program slowly, mostly waiting: several at a time.
        with concurrent.futures.ThreadPoolExecutor(max_workers=4 if side == "windows" else 1) as pool:
            return list(pool.map(one, jobs))

    linux, windows = results_of("linux", jobs), results_of("windows", jobs)
    # The two copies of the pictures sit in folders of different names.
    windows_folder = "Z:" + os.path.join(work, "windows").replace("/", "\\") + "\\"
    windows = [same_folder(w, windows_folder, os.path.join(work, "linux") + "/") for w in windows]
    # Wine, running several programs at once, now and then ends one by a
    # signal or loses its standard error: a command that differs runs once more
    # on its own, and only a difference that stays counts.
    for i, (job, a, b) in enumerate(zip(jobs, linux, windows)):
        if a != b:
            again = same_folder(results_of("windows", [job])[0], windows_folder, os.path.join(work, "linux") + "/")
            print(f"run again under Wine: {job[0]}: {'now the same' if again == a else 'still different'}")
            windows[i] = again
    differences = 0
    for (label, *_), a, b in zip(jobs, linux, windows):
        if a != b:
            differences += 1
            print(f"DIFFERENT {label}:\n  linux   {a!r:.600}\n  windows {b!r:.600}")
    print(f"compare-windows: {len(jobs)} commands on {len(names)} pictures, {differences} different")
    if not differences:
        shutil.rmtree(work)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
