"""Driver of bench/table_output.sh: the table writers against numpy and python
xlsxwriter doing the same job, and the peak memory of an export.

The job is the same on both sides: the luminance of a 256 x 9000 region from
pixel data already in memory, then the CSV file (numpy.savetxt) or the workbook
with a fill format per cell (python xlsxwriter, constant-memory mode). Both
sides are timed inside their own process, so neither pays for interpreter or
program start; the whole-process CLI figure is printed for information."""

import io
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

import numpy as np
import xlsxwriter

W, H = 256, 9000
cli, inproc = sys.argv[1], sys.argv[2]
csv_runs = int(os.environ.get("CSV_RUNS", "7"))
xlsx_runs = int(os.environ.get("XLSX_RUNS", "3"))
tmp = tempfile.mkdtemp()
image = os.path.join(tmp, "bench.bmp")

rng = np.random.default_rng(7)
pixels = rng.integers(0, 256, size=(H, W, 3), dtype=np.uint8)  # top row first, RGB
stride = (W * 3 + 3) & ~3
body = pixels[::-1, :, ::-1].reshape(H, W * 3)
with open(image, "wb") as f:
    f.write(struct.pack("<2sIHHI", b"BM", 54 + stride * H, 0, 0, 54))
    f.write(struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, stride * H, 2835, 2835, 0, 0))
    f.write(body.tobytes())
env = dict(os.environ, LC_ALL="C")


def median_seconds(fn, runs):
    times = []
    for _ in range(runs):
        t = time.perf_counter()
        fn()
        times.append(time.perf_counter() - t)
    return statistics.median(times)


def luminance(rgb):
    # float32 weights summed in double, green first, stored as float32: the program's values
    cr, cg, cb = (float(np.float32(x)) for x in (0.299, 0.587, 0.114))
    rgb = rgb.astype(np.float64)
    return (rgb[:, :, 1] * cg + rgb[:, :, 0] * cr + rgb[:, :, 2] * cb).astype(np.float32)


# --- Python, in process: the source pixels exist before the clock starts.
def numpy_csv():
    np.savetxt(os.path.join(tmp, "np.csv"), luminance(pixels), fmt="%.2f", delimiter=";", newline="\r\n")


def python_workbook():
    values = luminance(pixels)
    fills = (pixels[:, :, 0] // 64).astype(np.int64) * 16 + pixels[:, :, 1] // 64  # 16 fill colours
    book = xlsxwriter.Workbook(os.path.join(tmp, "py.xlsx"), {"constant_memory": True})
    sheet = book.add_worksheet()
    formats = [book.add_format({"bg_color": "#%02X%02X00" % (k // 16 * 64, k % 16 * 64), "pattern": 1,
                                "font_color": "#FFFFFF", "num_format": "0.00"}) for k in range(256)]
    for r in range(H):
        row_values = values[r].tolist()
        row_fills = fills[r].tolist()
        for c in range(W):
            sheet.write_number(r, c, row_values[c], formats[row_fills[c]])
    book.close()


def numpy_csv_bytes():  # the same text into memory: no file, no disk
    np.savetxt(io.BytesIO(), luminance(pixels), fmt="%.2f", delimiter=";", newline="\r\n")


t_np = median_seconds(numpy_csv, csv_runs)
t_np_mem = median_seconds(numpy_csv_bytes, csv_runs)
t_py = median_seconds(python_workbook, xlsx_runs)

# --- Lumiset, in process: the same writers the CLI and the export window call.
out = subprocess.run([inproc, image, tmp, str(W), str(H), str(csv_runs), str(xlsx_runs)],
                     capture_output=True, text=True, check=True, env=env).stdout
figures = dict(line.split() for line in out.splitlines() if line.strip())
t_csv, t_xlsx = float(figures["csv_seconds"]), float(figures["xlsx_seconds"])
t_csv_mem = float(figures["csv_bytes_seconds"])


# --- Whole processes, for information: program start and picture load included.
def cli_run(*args):
    subprocess.run([cli, "export", image, "--from", "1,1", "--to", "%d,%d" % (W, H), "--measure", "luma"]
                   + list(args), check=True, env=env)


def numpy_process():
    code = ("import numpy as np,sys;W,H=%d,%d;s=(W*3+3)&~3;"
            "raw=np.fromfile(sys.argv[1],dtype=np.uint8,offset=54).reshape(H,s)[::-1,:W*3].reshape(H,W,3)[:,:,::-1]"
            ".astype(np.float64);c=[float(np.float32(x)) for x in (0.299,0.587,0.114)];"
            "v=(raw[:,:,1]*c[1]+raw[:,:,0]*c[0]+raw[:,:,2]*c[2]).astype(np.float32);"
            "np.savetxt(sys.argv[2],v,fmt='%%.2f',delimiter=';',newline='\\r\\n')" % (W, H))
    subprocess.run([sys.executable, "-c", code, image, os.path.join(tmp, "np2.csv")], check=True, env=env)


p_csv = median_seconds(lambda: cli_run("--csv", os.path.join(tmp, "cli.csv")), csv_runs)
p_np = median_seconds(numpy_process, csv_runs)
p_xlsx = median_seconds(lambda: cli_run("--fill", "--xlsx", os.path.join(tmp, "cli.xlsx")), xlsx_runs)


def peak_rss_kib(*args):
    code = ("import resource,subprocess,sys;subprocess.run(sys.argv[1:],check=True);"
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    res = subprocess.run([sys.executable, "-c", code, cli, "export", image, "--from", "1,1"] + list(args),
                         capture_output=True, text=True, check=True, env=env)
    return int(res.stdout.strip())


base = peak_rss_kib("--to", "1,1", "--fill", "--xlsx", os.path.join(tmp, "m1.xlsx"))
full = peak_rss_kib("--to", "%d,%d" % (W, H), "--measure", "luma", "--fill", "--xlsx", os.path.join(tmp, "m2.xlsx"))
cells = W * H
per_cell = (full - base) * 1024.0 / cells


def verdict(ok):
    return "PASS" if ok else "FAIL"


print("region %d x %d = %d cells, luminance; medians of %d (CSV) and %d (workbook) runs"
      % (W, H, cells, csv_runs, xlsx_runs))
print("%-34s %10s %10s %8s %8s  %s" % ("comparison", "lumiset s", "python s", "ratio", "target", "result"))
rows = [
    ("CSV vs numpy.savetxt (in process)", t_csv, t_np, 10.0, True),
    ("workbook vs xlsxwriter (in process)", t_xlsx, t_py, 4.0, True),
    ("CSV bytes in memory (info)", t_csv_mem, t_np_mem, 10.0, False),
    ("CSV, whole processes (info)", p_csv, p_np, 10.0, False),
    ("workbook, whole processes (info)", p_xlsx, t_py, 4.0, False),
]
for name, ours, theirs, target, counted in rows:
    ratio = theirs / ours
    print("%-34s %10.3f %10.3f %7.1fx %7.0fx  %s" % (name, ours, theirs, ratio, target,
                                                     verdict(ratio >= target) if counted else "(info)"))
print("%-34s %10.1f %10s %8s %8s  %s" % ("memory, bytes per cell", per_cell, "", "", "<= 64", verdict(per_cell <= 64)))
print("(peak %d KiB vs %d KiB for one cell, beyond the pixel tables)" % (full, base))
print("The CSV save flushes the file to the disk before it replaces an earlier one (numpy does not);")
print("the bytes line shows both writers without the file.")
