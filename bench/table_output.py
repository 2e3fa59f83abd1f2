"""Driver of bench/table_output.sh: lumiset-cli against what a Python user
writes instead (Pillow + numpy, and xlsxwriter for the workbook), both run as
whole processes from the picture file to the table file, in one run.

  1. CSV of a 256 x 3000 region of a 4000 x 3000 24-bit BMP, luminance,
     windows-1251 with decimal commas            (target >= 5x)
  2. the same region to a workbook with cell colours  (target >= 3x)
  3. CSV of the whole 12000 x 9000 picture            (target >= 8x)

then the peak memory of lumiset-cli beyond the pixel tables (budget 64 MiB)
and, when `perf` works, the share of lumiset-cli's own code in the workbook
time. Usage: table_output.py LUMISET_CLI"""

import os
import resource
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

import numpy as np

cli = sys.argv[1]
runs = int(os.environ.get("RUNS", "3"))
tmp = tempfile.mkdtemp()
env = dict(os.environ, LC_ALL="C")
py = sys.executable


def write_bmp(path, w, h, seed):
    # Smooth colour fields with noise: neighbouring points differ, as in photographs.
    rng = np.random.default_rng(seed)
    stride = (w * 3 + 3) & ~3
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + stride * h, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, stride * h, 2835, 2835, 0, 0))
        x = np.arange(w, dtype=np.int32)
        for y0 in range(0, h, 500):  # bottom-up rows in blocks
            n = min(500, h - y0)
            ys = np.arange(y0, y0 + n, dtype=np.int32)[:, None]
            block = np.empty((n, stride), dtype=np.uint8)
            noise = rng.integers(0, 24, size=(n, w, 3), dtype=np.int32)
            bgr = np.stack([(x[None, :] * 3 + ys) % 232, (x[None, :] + ys * 2) % 232, (x[None, :] * 5 + ys * 3) % 232],
                           axis=2) + noise
            block[:, :w * 3] = bgr.astype(np.uint8).reshape(n, w * 3)
            block[:, w * 3:] = 0
            f.write(block.tobytes())


small = os.path.join(tmp, "photo4000.bmp")
large = os.path.join(tmp, "photo12000.bmp")
write_bmp(small, 4000, 3000, 7)
write_bmp(large, 12000, 9000, 8)

PY_CSV = r'''
import sys, io, numpy as np
from PIL import Image
Image.MAX_IMAGE_PIXELS = None
src, dst, w, h = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
a = np.asarray(Image.open(src).convert("RGB").crop((0, 0, w, h)))
cr, cg, cb = (float(np.float32(x)) for x in (0.299, 0.587, 0.114))
v = (a[:, :, 1] * cg + a[:, :, 0] * cr + a[:, :, 2] * cb).astype(np.float32)
buf = io.StringIO()
np.savetxt(buf, v, fmt="%.2f", delimiter=";", newline="\r\n")
with open(dst, "wb") as f:
    f.write(buf.getvalue().replace(".", ",").encode("cp1251"))
'''

PY_XLSX = r'''
import sys, numpy as np, xlsxwriter
from PIL import Image
src, dst, w, h = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
a = np.asarray(Image.open(src).convert("RGB").crop((0, 0, w, h)))
cr, cg, cb = (float(np.float32(x)) for x in (0.299, 0.587, 0.114))
v = (a[:, :, 1] * cg + a[:, :, 0] * cr + a[:, :, 2] * cb).astype(np.float32)
fills = (a[:, :, 0] // 64).astype(np.int64) * 16 + (a[:, :, 1] // 64) * 4 + a[:, :, 2] // 64  # 64 colours
book = xlsxwriter.Workbook(dst, {"constant_memory": True})
sheet = book.add_worksheet()
formats = [book.add_format({"bg_color": "#%02X%02X%02X" % (k // 16 * 64, k // 4 % 4 * 64, k % 4 * 64), "pattern": 1,
                            "num_format": "0.00"}) for k in range(64)]
for r in range(h):
    row_values = v[r].tolist()
    row_fills = fills[r].tolist()
    for c in range(w):
        sheet.write_number(r, c, row_values[c], formats[row_fills[c]])
book.close()
'''


def cpu_seconds():
    u = resource.getrusage(resource.RUSAGE_CHILDREN)
    return u.ru_utime + u.ru_stime


def timed(cmd, n):
    """Medians of the wall time and of the CPU time (user + system) of \a n runs."""
    walls, cpus = [], []
    for _ in range(n):
        t, c = time.perf_counter(), cpu_seconds()
        subprocess.run(cmd, check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - t)
        cpus.append(cpu_seconds() - c)
    return statistics.median(walls), statistics.median(cpus)


def ours(image, w, h, *args):
    return [cli, "export", image, "--from", "1,1", "--to", "%d,%d" % (w, h), "--measure", "luma",
            "--locale", "ru_RU"] + list(args)


def peak_rss_bytes(cmd):
    code = ("import resource,subprocess,sys;subprocess.run(sys.argv[1:],check=True);"
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    res = subprocess.run([py, "-c", code] + cmd, capture_output=True, text=True, check=True, env=env)
    return int(res.stdout.strip()) * 1024


out = lambda name: os.path.join(tmp, name)
rows = []
rows.append(("CSV 256x3000 of 4000x3000", timed(ours(small, 256, 3000, "--csv", out("a.csv")), runs),
             timed([py, "-c", PY_CSV, small, out("pa.csv"), "256", "3000"], runs), 5.0))
rows.append(("workbook 256x3000, colours", timed(ours(small, 256, 3000, "--fill", "--xlsx", out("a.xlsx")), runs),
             timed([py, "-c", PY_XLSX, small, out("pa.xlsx"), "256", "3000"], runs), 3.0))
rows.append(("CSV whole 12000x9000", timed(ours(large, 12000, 9000, "--csv", out("b.csv")), 1),
             timed([py, "-c", PY_CSV, large, out("pb.csv"), "12000", "9000"], 1), 8.0))

print("whole processes, medians of %d runs (1 run for the whole picture); wall time and CPU time" % runs)
print("(user + system); on a machine shared with other jobs the CPU ratio is the steadier one")
print("%-28s %9s %9s %7s %9s %9s %7s %7s  %s" % ("job", "ours s", "python s", "wall", "ours cpu", "py cpu", "cpu",
                                                 "target", "result"))
for name, (w_ours, c_ours), (w_py, c_py), target in rows:
    wall, cpu = w_py / w_ours, c_py / c_ours
    print("%-28s %9.3f %9.3f %6.1fx %9.3f %9.3f %6.1fx %6.0fx  %s" % (
        name, w_ours, w_py, wall, c_ours, c_py, cpu, target,
        "PASS" if wall >= target and cpu >= target else "CPU PASS" if cpu >= target else "FAIL"))

tables = 3 * 12000 * 9000
mib = 1024.0 * 1024.0
for name, cmd in (("1x1 workbook (start-up)", ours(large, 1, 1, "--xlsx", out("m0.xlsx"))),
                  ("CSV whole 12000x9000", ours(large, 12000, 9000, "--csv", out("m1.csv"))),
                  ("workbook 256x9000, colours", ours(large, 256, 9000, "--fill", "--xlsx", out("m2.xlsx"))),
                  ("workbook 16384x60 of 16384x60", None)):
    if cmd is None:
        wide = out("wide.bmp")
        write_bmp(wide, 16384, 60, 9)
        cmd = ours(wide, 16384, 60, "--fill", "--xlsx", out("m3.xlsx"))
        table_bytes = 3 * 16384 * 60
    else:
        table_bytes = tables
    peak = peak_rss_bytes(cmd)
    print("memory %-30s peak %7.1f MiB, %6.1f MiB beyond the pixel tables" % (name, peak / mib, (peak - table_bytes) / mib))

if shutil.which("perf"):
    data = out("perf.data")
    rec = subprocess.run(["perf", "record", "-q", "-F", "2000", "-o", data, "--"]
                         + ours(small, 256, 3000, "--fill", "--xlsx", out("p.xlsx")), env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    rep = subprocess.run(["perf", "report", "-i", data, "--sort", "dso", "--stdio"], capture_output=True, text=True)
    if rec.returncode == 0 and rep.returncode == 0:
        print("perf, workbook 256x3000 with colours, share of samples by library:")
        for line in rep.stdout.splitlines():
            if line.strip() and not line.startswith("#"):
                print("   " + line.strip())
    else:
        print("perf could not record here; our share of the workbook time was not measured")
shutil.rmtree(tmp, ignore_errors=True)
